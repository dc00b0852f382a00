#pragma once
// The command line of wolkenfang-server.
#include <QHostAddress>
#include <QStringList>
#include <optional>

#include "HttpFront.h"
#include "Store.h"

namespace wf {

struct ServerOptions {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = 8080;
    DatabaseChoice database;
    int maxSubmissions = 10;  // per client address and ten minutes
    HttpLimits limits;
};

// nullopt when the program should end at once with *exitCode: for --help (the
// text in *message, code 0) and for a wrong command line (code 2).
std::optional<ServerOptions> ParseServerOptions(const QStringList& arguments, QString* message,
                                                int* exitCode);

// The SQLite file used when none is given: in the user's own data directory.
QString DefaultDatabasePath();

}  // namespace wf
