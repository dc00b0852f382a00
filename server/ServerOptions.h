#pragma once
// The command line of wolkenfang-server, and its configuration file: the same
// options, one "name = value" a line.
#include <QHostAddress>
#include <QStringList>
#include <optional>

#include "ClientAddress.h"
#include "HttpEngine.h"
#include "Store.h"

namespace wf {

struct ServerOptions {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = 8080;
    DatabaseChoice database;
    int databaseConnections = 4;
    int maxSubmissions = 10;  // per client and ten minutes
    HttpLimits limits;
    TrustedProxies proxies;
    QString accessLog;  // empty: standard output
};

// nullopt when the program should end at once with *exitCode: for --help (the
// text in *message, code 0) and for a wrong command line or configuration
// file (code 2).
std::optional<ServerOptions> ParseServerOptions(const QStringList& arguments, QString* message,
                                                int* exitCode);

// The SQLite file used when none is given: in the state directory that
// systemd gives the service, otherwise in the user's own data directory.
QString DefaultDatabasePath();

}  // namespace wf
