#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Wolkenfang 4.00 Alpha 2.4b"));
    w.show();
    return app.exec();
}
