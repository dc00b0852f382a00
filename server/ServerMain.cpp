#include "ServerMain.h"

#include <pthread.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDateTime>
#include <algorithm>
#include <csignal>
#include <cstdio>

#include "AccessLog.h"
#include "DbWorkers.h"
#include "HttpEngine.h"
#include "ServerOptions.h"
#include "Site.h"

namespace wf {
namespace {

void Say(const QString& text) {
    std::fprintf(stderr, "wolkenfang-server: %s\n", qPrintable(text));
}

// Every connection is a descriptor: as many as the system lets this user have.
void RaiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace

int RunServer(int argc, char** argv) {
    // SIGINT and SIGTERM are taken by the main thread alone, with sigwait; the
    // threads started below inherit the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);  // for Qt SQL's driver plugins
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
    RaiseDescriptorLimit();
    AccessLog log;
    if (!log.Open(options->accessLog, &message)) {
        Say(message);
        return 1;
    }
    // A statement may take half the time of a request, and a request may wait
    // as long for a worker: the answer comes within the time limit.
    const int statementMs = std::min(5000, options->limits.timeoutSeconds * 1000 / 2);
    DbWorkers db(options->database, options->databaseConnections, statementMs);
    QString error;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    Site site(db, options->maxSubmissions, statementMs);
    if (!db.Start(&error) || !site.Start(now, &error)) {
        Say(QStringLiteral("Datenbank nicht nutzbar: %1").arg(error));
        if (options->database.postgres.isEmpty())
            Say(QStringLiteral("(eine andere SQLite-Datei nennt --sqlite)"));
        db.Stop();
        return 1;
    }
    HttpEngine engine(site, db, options->limits, options->proxies, log);
    if (!engine.Listen(options->address, options->port, &error)) {
        Say(QStringLiteral("kann nicht auf %1:%2 hören: %3")
                .arg(options->address.toString())
                .arg(options->port)
                .arg(error));
        db.Stop();
        return 1;
    }
    const QString host = options->address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(options->address.toString())
                             : options->address.toString();
    // The first line on stdout names the address, also the one a port of 0 got.
    std::printf("wolkenfang-server: http://%s:%u/ (%s)\n", qPrintable(host), engine.Port(),
                qPrintable(options->database.postgres.isEmpty()
                               ? QStringLiteral("SQLite ") + options->database.sqlitePath
                               : QStringLiteral("PostgreSQL")));
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    // No new connections; the waiting tasks are answered (at once, busy) and
    // resume their connections; then every connection ends.
    engine.StopAccepting();
    db.Stop();
    engine.Stop();
    return 0;
}

}  // namespace wf
