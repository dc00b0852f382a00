#include "ServerOptions.h"

#include <QCommandLineParser>
#include <QFile>
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

// The options of a configuration file as command-line arguments: "name =
// value" lines, '#' starts a comment line.
std::optional<QStringList> ReadConfig(const QString& path, QString* message) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *message = QStringLiteral("Konfigurationsdatei %1 nicht lesbar").arg(path);
        return std::nullopt;
    }
    QStringList arguments;
    int number = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        ++number;
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) {
            *message = QStringLiteral("%1:%2: erwartet name = wert").arg(path).arg(number);
            return std::nullopt;
        }
        arguments << QStringLiteral("--") + line.left(equals).trimmed()
                  << line.mid(equals + 1).trimmed();
    }
    return arguments;
}

bool Number(const QCommandLineParser& parser, const QString& name, int low, int high, int* value) {
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    *value = parser.value(name).toInt(&ok);
    return ok && *value >= low && *value <= high;
}

}  // namespace

QString DefaultDatabasePath() {
    const QString state = qEnvironmentVariable("STATE_DIRECTORY").section(':', 0, 0);
    if (!state.isEmpty())
        return state + QStringLiteral("/scores.sqlite");
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/wolkenfang-server/scores.sqlite");
}

std::optional<ServerOptions> ParseServerOptions(const QStringList& arguments, QString* message,
                                                int* exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Die Online-Highscore-Seite von Wolkenfang."));
    const QCommandLineOption help({"h", "help"}, QStringLiteral("Zeigt diese Hilfe."));
    const QCommandLineOption config(
        "config",
        QStringLiteral("Liest Optionen aus einer Datei, je Zeile \"name = wert\"; die "
                       "Befehlszeile geht vor."),
        QStringLiteral("datei"));
    const QCommandLineOption listen(
        "listen", QStringLiteral("Adresse und Port (Vorgabe 127.0.0.1:8080; Port 0: ein freier)."),
        QStringLiteral("adresse:port"));
    const QCommandLineOption sqlite(
        "sqlite", QStringLiteral("SQLite-Datei (Vorgabe %1).").arg(DefaultDatabasePath()),
        QStringLiteral("datei"));
    const QCommandLineOption postgres(
        "postgres",
        QStringLiteral(
            "PostgreSQL statt SQLite, z. B. \"host=/run/postgresql dbname=wolkenfang\"."),
        QStringLiteral("verbindung"));
    const QCommandLineOption connections(
        "database-connections",
        QStringLiteral("Datenbankverbindungen, je eine für einen Arbeitsfaden (Vorgabe 4)."),
        QStringLiteral("anzahl"));
    const QCommandLineOption submissions(
        "max-submissions",
        QStringLiteral("Einträge je Adresse und zehn Minuten, von allen Servern einer Datenbank "
                       "zusammen gezählt (Vorgabe 10, 0: ohne Grenze)."),
        QStringLiteral("anzahl"));
    const QCommandLineOption timeout(
        "timeout",
        QStringLiteral("Sekunden für eine Anfrage und für ihre Antwort (Vorgabe 10); eine "
                       "Datenbankanweisung darf die Hälfte davon, höchstens 5, brauchen."),
        QStringLiteral("sekunden"));
    const QCommandLineOption maxConnections(
        "max-connections", QStringLiteral("Verbindungen insgesamt (Vorgabe 1024)."),
        QStringLiteral("anzahl"));
    const QCommandLineOption perClient(
        "max-connections-per-client",
        QStringLiteral("Verbindungen je Adresse (IPv6: je /64-Netz), hinter einem vertrauten "
                       "Proxy Anfragen zugleich (Vorgabe 16)."),
        QStringLiteral("anzahl"));
    const QCommandLineOption proxy(
        "trusted-proxy",
        QStringLiteral("Ein Reverse-Proxy (Adresse oder Netz/Präfix), dessen X-Forwarded-For die "
                       "Adresse des Spielers angibt; mehrfach möglich."),
        QStringLiteral("adresse"));
    const QCommandLineOption accessLog(
        "access-log",
        QStringLiteral("Datei für das Zugriffsprotokoll, eine Zeile je Anfrage (Vorgabe: "
                       "Standardausgabe)."),
        QStringLiteral("datei"));
    parser.addOptions({help, config, listen, sqlite, postgres, connections, submissions, timeout,
                       maxConnections, perClient, proxy, accessLog});

    *exitCode = 2;
    QStringList all = arguments;
    const qsizetype configAt = arguments.indexOf(QStringLiteral("--config"));
    if (configAt > 0 && configAt + 1 < arguments.size()) {
        const auto fromFile = ReadConfig(arguments[configAt + 1], message);
        if (!fromFile)
            return std::nullopt;
        all = arguments.mid(0, 1) + *fromFile + arguments.mid(1);
    }
    if (!parser.parse(all)) {
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
    const struct {
        const QCommandLineOption& option;
        int low, high;
        int* value;
    } numbers[] = {
        {submissions, 0, 1000000, &options.maxSubmissions},
        {timeout, 1, 3600, &options.limits.timeoutSeconds},
        {connections, 1, 64, &options.databaseConnections},
        {maxConnections, 4, 100000, &options.limits.maxConnections},
        {perClient, 1, 100000, &options.limits.maxConnectionsPerClient},
    };
    for (const auto& n : numbers) {
        if (!Number(parser, n.option.names().constFirst(), n.low, n.high, n.value)) {
            *message = QStringLiteral("--%1 erwartet eine Zahl von %2 bis %3")
                           .arg(n.option.names().constFirst())
                           .arg(n.low)
                           .arg(n.high);
            return std::nullopt;
        }
    }
    for (const QString& network : parser.values(proxy)) {
        if (!options.proxies.Add(network)) {
            *message =
                QStringLiteral("--trusted-proxy erwartet eine Adresse oder ein Netz, nicht \"%1\"")
                    .arg(network);
            return std::nullopt;
        }
    }
    options.accessLog = parser.value(accessLog);
    return options;
}

}  // namespace wf
