#include "ServerOptions.h"

#include <QCommandLineParser>
#include <QStandardPaths>

namespace wf {
namespace {

// "ADDRESS:PORT", "[IPv6]:PORT" or just "PORT".
bool ParseListen(const QString& text, QHostAddress* address, quint16* port) {
    QString host;
    QString number = text;
    const qsizetype colon = text.lastIndexOf(':');
    if (colon >= 0) {
        host = text.left(colon);
        number = text.mid(colon + 1);
        if (host.startsWith('[') && host.endsWith(']'))
            host = host.mid(1, host.size() - 2);
        if (!address->setAddress(host))
            return false;
    }
    bool ok = false;
    const uint value = number.toUInt(&ok);
    if (!ok || value > 65535)
        return false;
    *port = static_cast<quint16>(value);
    return true;
}

}  // namespace

QString DefaultDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/wolkenfang-server/scores.sqlite");
}

std::optional<ServerOptions> ParseServerOptions(const QStringList& arguments, QString* message,
                                                int* exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Die Online-Highscore-Seite von Wolkenfang."));
    const QCommandLineOption help({"h", "help"}, QStringLiteral("Zeigt diese Hilfe."));
    const QCommandLineOption listen(
        "listen", QStringLiteral("Adresse und Port (Vorgabe 127.0.0.1:8080; Port 0: ein freier)."),
        QStringLiteral("adresse:port"));
    const QCommandLineOption sqlite(
        "sqlite", QStringLiteral("SQLite-Datei (Vorgabe %1).").arg(DefaultDatabasePath()),
        QStringLiteral("datei"));
    const QCommandLineOption postgres(
        "postgres",
        QStringLiteral("PostgreSQL statt SQLite, z. B. \"host=localhost dbname=wolkenfang\"."),
        QStringLiteral("verbindung"));
    const QCommandLineOption submissions(
        "max-submissions",
        QStringLiteral("Einträge je Adresse und zehn Minuten (Vorgabe 10, 0: ohne Grenze)."),
        QStringLiteral("anzahl"));
    const QCommandLineOption timeout(
        "timeout", QStringLiteral("Sekunden für eine Anfrage und ihre Antwort (Vorgabe 10)."),
        QStringLiteral("sekunden"));
    parser.addOptions({help, listen, sqlite, postgres, submissions, timeout});

    *exitCode = 2;
    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        *exitCode = 0;
        *message = parser.helpText();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("Unerwartetes Argument: %1").arg(parser.positionalArguments()[0]);
        return std::nullopt;
    }
    ServerOptions options;
    if (parser.isSet(listen) &&
        !ParseListen(parser.value(listen), &options.address, &options.port)) {
        *message = QStringLiteral("--listen erwartet adresse:port, nicht \"%1\"")
                       .arg(parser.value(listen));
        return std::nullopt;
    }
    if (parser.isSet(sqlite) && parser.isSet(postgres)) {
        *message = QStringLiteral("--sqlite und --postgres schließen einander aus");
        return std::nullopt;
    }
    options.database.postgres = parser.value(postgres);
    options.database.sqlitePath =
        parser.isSet(sqlite) ? parser.value(sqlite) : DefaultDatabasePath();
    if (parser.isSet(postgres) && options.database.postgres.trimmed().isEmpty()) {
        *message = QStringLiteral("--postgres braucht eine Verbindungsangabe");
        return std::nullopt;
    }
    bool ok = true;
    if (parser.isSet(submissions))
        options.maxSubmissions = parser.value(submissions).toInt(&ok);
    if (!ok || options.maxSubmissions < 0) {
        *message = QStringLiteral("--max-submissions erwartet eine Zahl ab 0");
        return std::nullopt;
    }
    if (parser.isSet(timeout))
        options.limits.timeoutSeconds = parser.value(timeout).toInt(&ok);
    if (!ok || options.limits.timeoutSeconds < 1 || options.limits.timeoutSeconds > 3600) {
        *message = QStringLiteral("--timeout erwartet Sekunden von 1 bis 3600");
        return std::nullopt;
    }
    return options;
}

}  // namespace wf
