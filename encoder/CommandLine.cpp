#include "CommandLine.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "ConsolePlatform.h"
#include "Engine.h"
#include "ModInstall.h"
#include "ModLoader.h"
#include "Paths.h"

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

QString GameDirectoryOf(const CommandLine& commandLine) {
    if (!commandLine.gameDirectory.isEmpty())
        return QDir::cleanPath(QDir(commandLine.gameDirectory).absolutePath());
    // The program lives in a sub-directory of the game.
    const QString own = QDir::cleanPath(QDir(ProgramDirectory()).absolutePath());
    return GameDirectory(QFileInfo(own).path());
}

int RunInstall(const CommandLine& commandLine) {
    const InstallOutcome out =
        InstallModArchive(commandLine.archive, GameDirectoryOf(commandLine),
                          [&commandLine](const QString&) { return commandLine.overwrite; });
    for (const QString& note : out.notes)
        Write(stdout, QStringLiteral("Hinweis: ") + note + '\n');
    if (!out.installed) {
        Write(stderr, QStringLiteral("modsiegel: ") + out.problem +
                          (out.kept ? QStringLiteral(" --overwrite ersetzt es.") : QString()) +
                          '\n');
        return 1;
    }
    Write(stdout,
          QStringLiteral("Das MOD '%1' ist installiert%2%3.\n")
              .arg(out.modName, out.replaced ? QStringLiteral(" (ersetzt)") : QString(),
                   out.registeredAs ? QStringLiteral(" und in game.ini als ModName%1 eingetragen")
                                          .arg(out.registeredAs)
                                    : QString()));
    return 0;
}

int RunCheck(const CommandLine& commandLine) {
    const QString mods = GameDirectoryOf(commandLine) + QStringLiteral("/mods");
    const QString dir = JoinPlainName(mods, commandLine.mod);
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        Write(stderr,
              QStringLiteral("modsiegel: kein MOD '%1' in %2\n").arg(commandLine.mod, mods));
        return 1;
    }
    const ModCheck check = CheckMod(dir);
    for (const QString& problem : check.problems)
        Write(stdout, problem + '\n');
    for (const QString& note : check.notes)
        Write(stdout, QStringLiteral("Hinweis: ") + note + '\n');
    Write(stdout,
          check.Playable()
              ? QStringLiteral("Das MOD '%1' lädt und lässt sich spielen.\n").arg(commandLine.mod)
              : QStringLiteral("Das MOD '%1' hat %2 Problem(e).\n")
                    .arg(commandLine.mod)
                    .arg(check.problems.size()));
    return check.Playable() ? 0 : 1;
}

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
    bool install = false;
    bool check = false;
    const auto fail = [&cl](const QString& why) {
        cl.mode = CommandLine::Mode::Error;
        cl.error = why;
        return cl;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool takesValue = a == QStringLiteral("--encode") ||
                                a == QStringLiteral("--backup") ||
                                a == QStringLiteral("--game-dir") ||
                                a == QStringLiteral("--install") || a == QStringLiteral("--check");
        if (takesValue && i + 1 >= arguments.size())
            return fail(QStringLiteral("%1 braucht einen Wert").arg(a));
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            cl.mode = CommandLine::Mode::Help;
            return cl;
        } else if (a == QStringLiteral("--encode")) {
            encode = true;
            cl.mod = arguments[++i];
        } else if (a == QStringLiteral("--install")) {
            install = true;
            cl.archive = arguments[++i];
        } else if (a == QStringLiteral("--check")) {
            check = true;
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
    if (int{encode} + int{install} + int{check} > 1)
        return fail(QStringLiteral("nur eins von --encode, --install und --check"));
    if (encode)
        cl.mode = CommandLine::Mode::Encode;
    else if (install && cl.backupWanted)
        return fail(QStringLiteral("--backup gehört zu --encode"));
    else if (install)
        cl.mode = CommandLine::Mode::Install;
    else if (check && (cl.backupWanted || cl.overwrite))
        return fail(QStringLiteral("--backup und --overwrite gehören nicht zu --check"));
    else if (check)
        cl.mode = CommandLine::Mode::Check;
    else if (cl.backupWanted || cl.overwrite)
        return fail(QStringLiteral("--backup und --overwrite gehören zu --encode"));
    return cl;
}

QString UsageText() {
    return QStringLiteral(
        "Aufruf: modsiegel [--game-dir VERZ]\n"
        "        modsiegel --encode MOD [--backup VERZ] [--overwrite] [--game-dir VERZ]\n"
        "        modsiegel --check MOD [--game-dir VERZ]\n"
        "        modsiegel --install ARCHIV [--overwrite] [--game-dir VERZ]\n"
        "\n"
        "Ohne --encode, --check oder --install öffnet sich der Assistent.\n"
        "\n"
        "  --encode MOD      codiert das MOD im Verzeichnis mods/MOD ohne Fenster: mod.ini und\n"
        "                    die Hintergrunddateien werden durch ihre .cod-Dateien ersetzt.\n"
        "  --backup VERZ     sichert vorher die Sourcen nach mods/VERZ und trägt VERZ als\n"
        "                    weiteres MOD in game.ini ein.\n"
        "  --check MOD       lädt das MOD mods/MOD, wie das Spiel es lädt, und nennt jedes\n"
        "                    Problem mit Datei, Abschnitt, Schlüssel und Zeile.\n"
        "  --install ARCHIV  installiert das MOD aus ARCHIV (.zip, .tar.gz, .tar.xz) nach mods/\n"
        "                    und trägt es in game.ini ein, nachdem es geprüft ist.\n"
        "  --overwrite       ersetzt Dateien, die im Sicherungsverzeichnis schon existieren,\n"
        "                    oder ein schon installiertes MOD desselben Namens; ohne diese\n"
        "                    Option ist beides ein Fehler.\n"
        "  --game-dir VERZ   das Spielverzeichnis (sonst das in WOLKENFANG_DIR genannte,\n"
        "                    sonst das Verzeichnis über modsiegel).\n"
        "  --help            zeigt diese Hilfe.\n"
        "\n"
        "Einen abgebrochenen Lauf bringt der nächste Aufruf für dasselbe MOD zu Ende; ein schon\n"
        "codiertes MOD, dessen gewünschte Sicherung eingetragen ist, gilt als erledigt.\n"
        "Das Protokoll erscheint auf der Standardausgabe, Fehler auf der Standardfehlerausgabe.\n"
        "Rückgabewert: 0 Erfolg (--check: das MOD lädt und lässt sich spielen), 1 Fehler oder\n"
        "abgelehnt (--check: das MOD hat Probleme), 2 falscher Aufruf.\n");
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
        case CommandLine::Mode::Install:
            return RunInstall(commandLine);
        case CommandLine::Mode::Check:
            return RunCheck(commandLine);
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
