// Load on the highscore site over loopback, on SQLite with N entries in each
// table: table views, then submissions, from C clients for S seconds each.
// Reports requests per second, latency and the CPU time of the server's
// thread per request, which a busy machine does not stretch; exits 1 on any
// wrong answer.
//
//   server_bench [--entries N] [--seconds S] [--clients C]
#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "AccessLog.h"
#include "ClientAddress.h"
#include "DbWorkers.h"
#include "FormToken.h"
#include "HttpEngine.h"
#include "ScoreRecord.h"
#include "Site.h"
#include "Store.h"
#include "TextCipher.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds(pthread_t thread) {
    clockid_t clock;
    timespec t{};
    return pthread_getcpuclockid(thread, &clock) == 0 && clock_gettime(clock, &t) == 0
               ? double(t.tv_sec) + double(t.tv_nsec) * 1e-9
               : 0;
}

// The status of the answer to a request on a keep-alive connection, 0 when
// the connection failed.
int Exchange(int fd, const QByteArray& request) {
    if (send(fd, request.constData(), request.size(), MSG_NOSIGNAL) != request.size())
        return 0;
    QByteArray got;
    char chunk[65536];
    for (qsizetype need = -1; need < 0 || got.size() < need;) {
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return 0;
        got.append(chunk, n);
        const qsizetype end = got.indexOf("\r\n\r\n"), length = got.indexOf("Content-Length: ");
        if (need < 0 && end >= 0)
            need = end + 4 + got.mid(length + 16, 12).split('\r')[0].toLongLong();
    }
    return got.mid(9, 3).toInt();
}

// clients threads send requests[i] as the i-th request until the time or the
// requests are used up; prints the figures, returns the wrong answers.
size_t Load(const char* what, pthread_t server, quint16 port, int clients, double seconds,
            const std::vector<QByteArray>& requests, int expected) {
    std::atomic<size_t> next{0}, wrong{0};
    std::vector<std::vector<double>> ms(clients);
    const double cpu = CpuSeconds(server);
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            const int fd = socket(AF_INET, SOCK_STREAM, 0), one = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            sockaddr_in a{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
            const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
            for (size_t i; Clock::now() < end && (i = next++) < requests.size();) {
                const auto before = Clock::now();
                wrong += (connected ? Exchange(fd, requests[i]) : 0) != expected;
                ms[c].push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - before).count());
            }
            close(fd);
        });
    }
    for (auto& t : threads)
        t.join();
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    const double serverCpu = CpuSeconds(server) - cpu;
    std::vector<double> all;
    for (const auto& m : ms)
        all.insert(all.end(), m.begin(), m.end());
    std::sort(all.begin(), all.end());
    const auto at = [&](double p) { return all[std::min(all.size() - 1, size_t(p * all.size()))]; };
    if (all.empty())
        return 1;
    std::printf(
        "%-12s %7.0f/s  p50 %5.2f ms  p99 %6.2f ms  server CPU %5.1f us/request  "
        "(%zu requests, %zu wrong)\n",
        what, all.size() / took, at(0.5), at(0.99), 1e6 * serverCpu / all.size(), all.size(),
        wrong.load());
    return wrong;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const char* name, double fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i > 0 && i + 1 < args.size() ? args[i + 1].toDouble() : fallback;
    };
    const int entries = int(option("--entries", 10000)), clients = int(option("--clients", 4));
    const double seconds = option("--seconds", 3);

    QTemporaryDir dir;
    const wf::DatabaseChoice database{dir.filePath("bench.sqlite"), {}};
    wf::Store store;
    QString error;
    if (!dir.isValid() || !store.Open(database, 5000, &error)) {
        std::fprintf(stderr, "server_bench: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    qint64 id = 0;
    for (int i = 0; i < entries; ++i) {
        for (int length : wf::kTimedGameLengths) {
            store.Add(length, qint32(i * 7919 % 30000 - 2000), QStringLiteral("Spieler %1").arg(i),
                      QByteArray::number(length) + '-' + QByteArray::number(i), now, {}, &id);
        }
    }
    wf::DbWorkers db(database, 4, 5000);
    wf::Site site(db, 0, 5000);
    wf::AccessLog log;
    wf::TrustedProxies proxies;
    if (!log.Open(QStringLiteral("/dev/null"), &error) || !db.Start(&error) ||
        !site.Start(now, &error)) {
        std::fprintf(stderr, "server_bench: %s\n", qPrintable(error));
        return 1;
    }
    wf::HttpLimits limits;
    limits.maxConnectionsPerClient = 1024;
    wf::HttpEngine front(site, db, limits, proxies, log);
    if (!front.Listen(QHostAddress::LocalHost, 0, &error)) {
        std::fprintf(stderr, "server_bench: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d entries in each table, a table page of %lld bytes, %d clients, %.1f s each\n",
                entries,
                static_cast<long long>(
                    std::get<wf::Response>(site.Handle({"GET", "/hs.php", {}, {}, {}, {}}, now))
                        .body.size()),
                clients, seconds);
    // The forms a browser would have fetched first: one token each.
    const QByteArray digits = wf::EncodeText(wf::ResultRecord(60, 245), wf::ScoreKey, true);
    std::vector<QByteArray> views(500000, "GET /hs.php HTTP/1.1\r\nHost: b\r\n\r\n"), posts(10000);
    for (QByteArray& post : posts) {
        const QByteArray body = "punkte=" + digits +
                                "&token=" + wf::IssueToken(db.Secret(), digits, now) +
                                "&name=Bench";
        post =
            "POST /wfscore.php HTTP/1.1\r\nHost: b\r\nContent-Type: "
            "application/x-www-form-urlencoded\r\nContent-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }
    size_t wrong = 0;
    const pthread_t server = pthread_self();
    std::thread driver([&] {
        wrong += Load("table view", server, front.Port(), clients, seconds, views, 200);
        wrong += Load("submission", server, front.Port(), clients, seconds, posts, 303);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    driver.join();
    return wrong == 0 ? 0 : 1;
}
