#include "ServerMain.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "HttpFront.h"
#include "ServerOptions.h"
#include "Site.h"
#include "Store.h"

namespace wf {
namespace {

int signalPipe[2] = {-1, -1};

// A signal handler may do next to nothing: it only wakes the event loop, which
// then ends the way it always ends, closing the database properly.
void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

void QuitOnSignals(QCoreApplication& app) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
}

void Say(const QString& text) {
    std::fprintf(stderr, "wolkenfang-server: %s\n", qPrintable(text));
}

}  // namespace

int RunServer(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString message;
    int exitCode = 0;
    const auto options = ParseServerOptions(app.arguments(), &message, &exitCode);
    if (!options) {
        if (exitCode == 0)
            std::fputs(qPrintable(message), stdout);
        else
            Say(message);
        return exitCode;
    }
    Store store;
    QString error;
    if (!store.Open(options->database, &error)) {
        Say(QStringLiteral("Datenbank nicht nutzbar: %1").arg(error));
        return 1;
    }
    Site site(store, options->maxSubmissions);
    HttpFront front(site, options->limits);
    if (!front.Listen(options->address, options->port, &error)) {
        Say(QStringLiteral("kann nicht auf %1:%2 hören: %3")
                .arg(options->address.toString())
                .arg(options->port)
                .arg(error));
        return 1;
    }
    QuitOnSignals(app);
    const QString host = options->address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(options->address.toString())
                             : options->address.toString();
    // The first line on stdout names the address, also the one a port of 0 got.
    std::printf("wolkenfang-server: http://%s:%u/ (%s)\n", qPrintable(host), front.Port(),
                qPrintable(options->database.postgres.isEmpty()
                               ? QStringLiteral("SQLite ") + options->database.sqlitePath
                               : QStringLiteral("PostgreSQL")));
    std::fflush(stdout);
    return app.exec();
}

}  // namespace wf
