#include "InfoFileWindow.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Borrowing.h"
#include "FileLimits.h"
#include "Platform.h"
#include "SafeFile.h"
#include "Text8.h"

namespace wf {

QString InfoFileWindow::ReadText(const QString& path, QString* problem) {
    const FileContent file = ReadRegularFile(path, kMaxInfoFileBytes);
    switch (file.error) {
        case ReadError::None:
            break;
        case ReadError::Missing:
            *problem = QStringLiteral("Die Info Datei des Spiels fehlt: ") + path;
            return QString();
        case ReadError::TooLarge:
            *problem = QStringLiteral("Die Info Datei des Spiels ist größer als 1 MiB: ") + path;
            return QString();
        case ReadError::NotRegular:
        case ReadError::Unreadable:
            *problem =
                QStringLiteral("Die Info Datei des Spiels kann nicht gelesen werden: ") + path;
            return QString();
    }
    QString text = FromText8(file.bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

void InfoFileWindow::Show(QWidget* mainWindow, const QString& path) {
    QString problem;
    const QString content = ReadText(path, &problem);
    if (!problem.isEmpty()) {
        Platform::Instance().MessageBox(mainWindow, MsgIcon::Exclamation, QStringLiteral("Fehler"),
                                        problem);
        return;
    }
    (new InfoFileWindow(mainWindow, content))->show();
}

InfoFileWindow::InfoFileWindow(QWidget* mainWindow, const QString& content)
    : QDialog(nullptr), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("infoFileWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    BorrowOwner(this, mainWindow);
    setWindowTitle(QStringLiteral("Info Datei des Spiels"));

    text = new QPlainTextEdit(this);
    text->setReadOnly(true);
    text->setPlainText(content);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(okButton, 0, Qt::AlignRight);
    resize(640, 480);
}

void InfoFileWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (mainWindow_)
        move(mainWindow_->geometry().center() - rect().center());
}

}  // namespace wf
