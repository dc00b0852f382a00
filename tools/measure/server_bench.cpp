// Load on the highscore site over loopback, on SQLite with N entries in each
// table: table views, a fixed page of the same size, and submissions. Reports
// requests per second, latency and the CPU time of the server's thread per
// request (the measure that compares table and fixed page on a busy machine,
// where they also take turns in short rounds); exits 1 on any wrong answer.
//
//   server_bench [--entries N] [--seconds S] [--clients C]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "FormToken.h"
#include "HttpFront.h"
#include "ScoreRecord.h"
#include "Site.h"
#include "Store.h"
#include "TextCipher.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds(pthread_t thread) {
    clockid_t clock;
    timespec t{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &t) != 0)
        return 0;
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Phase {
    std::vector<double> ms;  // latency of each answer
    double seconds = 0, serverCpu = 0;
    size_t wrong = 0;  // answers with another status than expected

    void Report(const char* what) {
        std::sort(ms.begin(), ms.end());
        const auto at = [this](double p) {
            return ms.empty() ? 0 : ms[std::min(ms.size() - 1, size_t(p * ms.size()))];
        };
        std::printf(
            "%-12s %7.0f/s  p50 %5.2f ms  p99 %6.2f ms  server CPU %5.1f us/request  "
            "(%zu requests, %zu wrong)\n",
            what, PerSecond(), at(0.5), at(0.99), CpuPerRequest(), ms.size(), wrong);
    }
    double PerSecond() const { return seconds > 0 ? ms.size() / seconds : 0; }
    double CpuPerRequest() const { return ms.empty() ? 0 : 1e6 * serverCpu / ms.size(); }
};

// One keep-alive connection; Exchange gives the status of the answer, 0 when
// the connection failed.
class Connection {
  public:
    explicit Connection(quint16 port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int one = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        ok_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Connection() { close(fd_); }

    int Exchange(const QByteArray& request) {
        if (!ok_ || send(fd_, request.constData(), request.size(), MSG_NOSIGNAL) != request.size())
            return 0;
        QByteArray got;
        qsizetype need = -1;
        char chunk[65536];
        while (need < 0 || got.size() < need) {
            const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0)
                return 0;
            got.append(chunk, n);
            const qsizetype end = got.indexOf("\r\n\r\n");
            if (need < 0 && end >= 0) {
                const qsizetype length = got.indexOf("Content-Length: ");
                need = end + 4 + got.mid(length + 16, 12).split('\r')[0].toLongLong();
            }
        }
        return got.mid(9, 3).toInt();
    }

  private:
    int fd_ = -1;
    bool ok_ = false;
};

// `clients` threads send request(i) as the i-th request until the time or
// the count is used up.
void Load(Phase& phase, pthread_t server, quint16 port, int clients, double seconds,
          size_t maxRequests, int expected, const std::function<QByteArray(size_t)>& request) {
    std::atomic<size_t> next{phase.ms.size()};
    std::vector<Phase> per(clients);
    const double cpu = CpuSeconds(server);
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            Connection connection(port);
            for (size_t i; Clock::now() < end && (i = next++) < maxRequests;) {
                const QByteArray r = request(i);
                const auto before = Clock::now();
                per[c].wrong += connection.Exchange(r) != expected;
                per[c].ms.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - before).count());
            }
        });
    }
    for (auto& t : threads)
        t.join();
    phase.seconds += std::chrono::duration<double>(Clock::now() - start).count();
    phase.serverCpu += CpuSeconds(server) - cpu;
    for (const Phase& p : per) {
        phase.ms.insert(phase.ms.end(), p.ms.begin(), p.ms.end());
        phase.wrong += p.wrong;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const char* name, double fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i > 0 && i + 1 < args.size() ? args[i + 1].toDouble() : fallback;
    };
    const int entries = int(option("--entries", 10000));
    const double seconds = option("--seconds", 3);
    const int clients = int(option("--clients", 4));

    QTemporaryDir dir;
    wf::Store store;
    QString error;
    if (!dir.isValid() || !store.Open({dir.filePath("bench.sqlite"), {}}, &error)) {
        std::fprintf(stderr, "server_bench: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    qint64 id = 0;
    for (int i = 0; i < entries; ++i) {
        for (int length : wf::kGameLengths) {
            store.Add(length, qint32(i * 7919 % 30000 - 2000), QStringLiteral("Spieler %1").arg(i),
                      QByteArray::number(length) + '-' + QByteArray::number(i), now, &id);
        }
    }
    wf::Site site(store, 0);
    const QByteArray tablePage = site.Handle({"GET", "/hs.php", {}, {}, {}, {}}, now).body;
    site.AddFixedPage("/gleich-gross.html", "text/html; charset=utf-8", tablePage);
    wf::HttpFront front(site, wf::HttpLimits{});
    if (!front.Listen(QHostAddress::LocalHost, 0, &error)) {
        std::fprintf(stderr, "server_bench: %s\n", qPrintable(error));
        return 1;
    }
    // The forms a browser would have fetched first: one token each.
    const QByteArray digits = wf::EncodeText(wf::ResultRecord(60, 245), wf::ScoreKey, true);
    std::vector<QByteArray> posts(10000);
    for (QByteArray& post : posts) {
        const QByteArray body = "punkte=" + digits +
                                "&token=" + wf::IssueToken(store.Secret(), digits, now) +
                                "&name=Bench";
        post =
            "POST /wfscore.php HTTP/1.1\r\nHost: b\r\nContent-Type: "
            "application/x-www-form-urlencoded\r\nContent-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }

    Phase table, fixed, submit;
    const pthread_t server = pthread_self();
    std::thread driver([&] {
        const auto get = [](const char* path) {
            return [r = "GET " + QByteArray(path) + " HTTP/1.1\r\nHost: b\r\n\r\n"](size_t) {
                return r;
            };
        };
        for (int round = 0; round < 6; ++round) {
            Load(fixed, server, front.Port(), clients, seconds / 6, 500000, 200,
                 get("/gleich-gross.html"));
            Load(table, server, front.Port(), clients, seconds / 6, 500000, 200, get("/hs.php"));
        }
        Load(submit, server, front.Port(), clients, seconds, posts.size(), 303,
             [&](size_t i) { return posts[i]; });
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    driver.join();

    QFile loadavg(QStringLiteral("/proc/loadavg"));
    loadavg.open(QIODevice::ReadOnly);
    std::printf("%d entries in each table, page of %lld bytes, %d clients, %.1f s each\n", entries,
                static_cast<long long>(tablePage.size()), clients, seconds);
    fixed.Report("static page");
    table.Report("table view");
    submit.Report("submission");
    std::printf("table view / static page: %.2f in server CPU per request, %.2f in time\n",
                fixed.CpuPerRequest() > 0 ? table.CpuPerRequest() / fixed.CpuPerRequest() : 0.0,
                table.PerSecond() > 0 ? fixed.PerSecond() / table.PerSecond() : 0.0);
    std::printf("load average before the end: %s", loadavg.readAll().constData());
    const bool complete = !fixed.ms.empty() && !table.ms.empty() && !submit.ms.empty();
    return complete && fixed.wrong + table.wrong + submit.wrong == 0 ? 0 : 1;
}
