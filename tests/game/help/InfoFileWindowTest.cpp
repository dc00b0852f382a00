// The information text in the game's own window, read as the game's 8-bit
// text, and every way the file can fail to be one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include "InfoFileWindow.h"
#include "ScriptedPlatform.h"

namespace wf {
namespace {

TEST(InfoFileWindow, ShowsTheTextOrSaysWhyNot) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Info.txt");
    const struct {
        const char* what;
        std::function<void()> make;
        QString text;     // shown, or
        QString problem;  // the start of the message
    } rows[] = {
        {"Windows-1252 with CR LF",
         [&] {
             QFile f(path);
             f.open(QIODevice::WriteOnly) && f.write("M\xf6we \xfc\x62\x65r Gr\xe4ser\r\n");
         },
         QString::fromUtf8("Möwe über Gräser\n"), ""},
        {"missing", [&] { QFile::remove(path); }, "", "Die Info Datei des Spiels fehlt"},
        {"a FIFO", [&] { mkfifo(path.toLocal8Bit().constData(), 0600); }, "",
         "Die Info Datei des Spiels kann nicht gelesen werden"},
        {"too large",
         [&] {
             QFile::remove(path);
             QFile f(path);
             f.open(QIODevice::WriteOnly) && f.resize(2 * 1024 * 1024);
         },
         "", "Die Info Datei des Spiels ist größer als 1 MiB"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.make();
        ScriptedPlatform platform;
        QWidget main;
        InfoFileWindow::Show(&main, path);
        InfoFileWindow* shown = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown = shown ? shown : qobject_cast<InfoFileWindow*>(w);
        if (row.problem.isEmpty()) {
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->text->toPlainText().trimmed(), row.text.trimmed());
            EXPECT_TRUE(platform.messages.isEmpty());
            delete shown;
        } else {
            EXPECT_EQ(shown, nullptr);
            ASSERT_EQ(platform.messages.size(), 1);
            EXPECT_TRUE(platform.messages[0].text.startsWith(row.problem))
                << platform.messages[0].text.toStdString();
        }
    }
}

}  // namespace
}  // namespace wf
