#include "CommandLine.h"

namespace wf {

QString JoinCommandLine(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

QStringList SplitCommandLine(const QString& line) {
    QStringList tokens;
    qsizetype count = 0;  // characters since the last blank
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char(' ')) {
            if (tokens.size() < kMaxCommandTokens)
                tokens.append(line.mid(i - count, count));
            count = 0;
        } else {
            ++count;
        }
    }
    if (count >= 3 && tokens.size() < kMaxCommandTokens)
        tokens.append(line.right(count));
    return tokens;
}

CommandLineOptions ApplySwitches(const QStringList& tokens) {
    CommandLineOptions options;
    for (const QString& token : tokens) {
        if (token == QLatin1String("-debug:style:1") || token == QLatin1String("-Debug:style:1")) {
            options.debugMode = true;
            options.debugStyle = 1;
        } else if (token == QLatin1String("-debug:style:2") ||
                   token == QLatin1String("-Debug:style:2") || token == QLatin1String("-debug") ||
                   token == QLatin1String("-Debug")) {
            options.debugMode = true;
            options.debugStyle = 2;
        } else if (token.startsWith(QLatin1String("-mod:"))) {
            options.modName = token.mid(5);
        }
    }
    return options;
}

bool AsksForHelp(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--help"));
}

QString UsageText() {
    return QStringLiteral(
        "Aufruf: wolkenfang [-mod:NAME] [-debug | -debug:style:1 | -debug:style:2]\n"
        "\n"
        "Wolkenfang: Zielen Sie mit der Maus und schießen Sie die Vögel ab.\n"
        "\n"
        "  -mod:NAME        startet mit dem MOD im Verzeichnis mods/NAME.\n"
        "  -debug           zeigt die Trefferfelder an (das Ergebnis kommt dann nicht in die\n"
        "                   Highscore); -debug:style:1 als Kreuze, -debug:style:2 als Kästchen.\n"
        "  --help           zeigt diese Hilfe.\n"
        "\n"
        "WOLKENFANG_DIR nennt das Spielverzeichnis, WF_HIGHSCORE_SITE die Online-Highscore-Seite\n"
        "(sonst highscoreseite in game.ini).\n");
}

}  // namespace wf
