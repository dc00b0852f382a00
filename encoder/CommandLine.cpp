#include "CommandLine.h"

#include <cstdio>

#include "ConsolePlatform.h"
#include "Engine.h"

namespace wf {
namespace {

void Write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// The log goes to standard output, one line per line of the wizard's log.
class ConsoleSink : public EngineSink {
  public:
    void OnLogLine(const QString& entry) override {
        QString text = entry;
        if (text.startsWith(QStringLiteral("\r\n")))
            text.remove(0, 2);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Write(stdout, text + '\n');
    }
    void OnProgress(int) override {}
};

}  // namespace

bool WantsCommandLineMode(const QStringList& arguments) {
    // Qt's own options have one dash; every double-dash option but
    // --game-dir belongs to this mode, so that a mistyped one is reported
    // here rather than opening the wizard.
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QStringLiteral("--game-dir")) {
            ++i;
            continue;
        }
        if (a.startsWith(QStringLiteral("--")) || a == QStringLiteral("-h"))
            return true;
    }
    return false;
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine cl;
    bool encode = false;
    const auto fail = [&cl](const QString& why) {
        cl.mode = CommandLine::Mode::Error;
        cl.error = why;
        return cl;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool takesValue = a == QStringLiteral("--encode") ||
                                a == QStringLiteral("--backup") ||
                                a == QStringLiteral("--game-dir");
        if (takesValue && i + 1 >= arguments.size())
            return fail(QStringLiteral("%1 braucht einen Wert").arg(a));
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            cl.mode = CommandLine::Mode::Help;
            return cl;
        } else if (a == QStringLiteral("--encode")) {
            encode = true;
            cl.mod = arguments[++i];
        } else if (a == QStringLiteral("--backup")) {
            cl.backupWanted = true;
            cl.backupDir = arguments[++i];
        } else if (a == QStringLiteral("--game-dir")) {
            cl.gameDirectory = arguments[++i];
            if (cl.gameDirectory.isEmpty())
                return fail(QStringLiteral("--game-dir braucht einen Wert"));
        } else if (a == QStringLiteral("--overwrite")) {
            cl.overwrite = true;
        } else {
            return fail(QStringLiteral("unbekanntes Argument '%1'").arg(a));
        }
    }
    if (encode)
        cl.mode = CommandLine::Mode::Encode;
    else if (cl.backupWanted || cl.overwrite)
        return fail(QStringLiteral("--backup und --overwrite gehören zu --encode"));
    return cl;
}

QString UsageText() {
    return QStringLiteral(
        "Aufruf: modsiegel [--game-dir VERZ]\n"
        "        modsiegel --encode MOD [--backup VERZ] [--overwrite] [--game-dir VERZ]\n"
        "\n"
        "Ohne --encode öffnet sich der Assistent.\n"
        "\n"
        "  --encode MOD      codiert das MOD im Verzeichnis mods/MOD ohne Fenster: mod.ini und\n"
        "                    die Hintergrunddateien werden durch ihre .cod-Dateien ersetzt.\n"
        "  --backup VERZ     sichert vorher die Sourcen nach mods/VERZ und trägt VERZ als\n"
        "                    weiteres MOD in game.ini ein.\n"
        "  --overwrite       ersetzt Dateien, die im Sicherungsverzeichnis schon existieren;\n"
        "                    ohne diese Option ist eine solche Datei ein Fehler.\n"
        "  --game-dir VERZ   das Spielverzeichnis (sonst das in WOLKENFANG_DIR genannte,\n"
        "                    sonst das Verzeichnis über modsiegel).\n"
        "  --help            zeigt diese Hilfe.\n"
        "\n"
        "Einen abgebrochenen Lauf bringt der nächste Aufruf für dasselbe MOD zu Ende; ein schon\n"
        "codiertes MOD, dessen gewünschte Sicherung eingetragen ist, gilt als erledigt.\n"
        "Das Protokoll erscheint auf der Standardausgabe, Fehler auf der Standardfehlerausgabe.\n"
        "Rückgabewert: 0 Erfolg, 1 Fehler beim Codieren, 2 falscher Aufruf.\n");
}

int RunCommandLine(const CommandLine& commandLine) {
    switch (commandLine.mode) {
        case CommandLine::Mode::Help:
            Write(stdout, UsageText());
            return 0;
        case CommandLine::Mode::Error:
        case CommandLine::Mode::Wizard:
            Write(stderr, QStringLiteral("modsiegel: ") + commandLine.error +
                              QStringLiteral("\n(modsiegel --help zeigt die Optionen)\n"));
            return 2;
        case CommandLine::Mode::Encode:
            break;
    }
    ConsolePlatform platform(commandLine.overwrite);
    platform.SetProgramName(QStringLiteral("modsiegel"));
    ConsoleSink sink;
    Engine engine(sink);
    if (!commandLine.gameDirectory.isEmpty())
        engine.SetGameDirectory(commandLine.gameDirectory);
    engine.ReadModList();
    engine.RunEncoding({commandLine.mod, commandLine.backupDir, commandLine.backupWanted});
    return 0;
}

}  // namespace wf
