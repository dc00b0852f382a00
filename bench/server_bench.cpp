// Load on the highscore server over loopback: table page views, a static page
// of the same size from the same server, and submissions, each for a bounded
// time and count, with SQLite and 10,000 entries in each table. Reports
// requests per second, latency and the server's own CPU time per request;
// exits 1 when any answer was not the expected one.
//
//   server_bench [--entries N] [--seconds S] [--clients C]
//
// The machine may be busy with other work: the static page and the table
// take turns in short rounds so that both see the same load, and the CPU time
// of the server's thread is what compares their cost.
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
constexpr size_t kMaxRequestsPerPhase = 500000;
constexpr int kRounds = 6;

struct Phase {
    std::vector<double> ms;  // latency of each answer
    double seconds = 0;
    double serverCpu = 0;  // seconds of CPU time of the server's thread
    size_t wrong = 0;      // answers with another status than expected
};

double CpuSeconds(pthread_t thread) {
    clockid_t clock;
    timespec t{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &t) != 0)
        return 0;
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// One keep-alive connection of a client thread.
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

    // The status of the answer, 0 when the connection failed.
    int Exchange(const QByteArray& request) {
        if (!ok_ || send(fd_, request.constData(), request.size(), MSG_NOSIGNAL) != request.size())
            return 0;
        buffer_.clear();
        qsizetype need = -1;
        char chunk[65536];
        while (need < 0 || buffer_.size() < need) {
            const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0)
                return 0;
            buffer_.append(chunk, n);
            const qsizetype end = buffer_.indexOf("\r\n\r\n");
            if (need < 0 && end >= 0) {
                const qsizetype length = buffer_.indexOf("Content-Length: ");
                need = end + 4 + buffer_.mid(length + 16, 12).split('\r')[0].toLongLong();
            }
        }
        return buffer_.mid(9, 3).toInt();
    }

  private:
    int fd_ = -1;
    bool ok_ = false;
    QByteArray buffer_;
};

// Runs `clients` threads that send request(i) for the i-th request until the
// time or the count is used up, adding to phase.
void Load(Phase& phase, pthread_t server, quint16 port, int clients, double seconds,
          size_t maxRequests, int expected, const std::function<QByteArray(size_t)>& request) {
    std::atomic<size_t> next{phase.ms.size()};
    std::vector<std::vector<double>> ms(clients);
    std::vector<size_t> wrong(clients, 0);
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
                const int status = connection.Exchange(r);
                ms[c].push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - before).count());
                if (status != expected)
                    ++wrong[c];
            }
        });
    }
    for (auto& t : threads)
        t.join();
    phase.seconds += std::chrono::duration<double>(Clock::now() - start).count();
    phase.serverCpu += CpuSeconds(server) - cpu;
    for (int c = 0; c < clients; ++c) {
        phase.ms.insert(phase.ms.end(), ms[c].begin(), ms[c].end());
        phase.wrong += wrong[c];
    }
}

double Percentile(const Phase& phase, double p) {
    return phase.ms.empty() ? 0
                            : phase.ms[std::min(phase.ms.size() - 1, size_t(p * phase.ms.size()))];
}

double PerSecond(const Phase& phase) {
    return phase.seconds > 0 ? phase.ms.size() / phase.seconds : 0;
}

double CpuPerRequest(const Phase& phase) {  // microseconds
    return phase.ms.empty() ? 0 : 1e6 * phase.serverCpu / phase.ms.size();
}

void Report(const char* what, Phase& phase) {
    std::sort(phase.ms.begin(), phase.ms.end());
    std::printf(
        "%-12s %7.0f/s  p50 %5.2f ms  p99 %6.2f ms  server CPU %5.1f us/request  "
        "(%zu requests, %zu wrong)\n",
        what, PerSecond(phase), Percentile(phase, 0.50), Percentile(phase, 0.99),
        CpuPerRequest(phase), phase.ms.size(), phase.wrong);
}

double Option(const QStringList& args, const QString& name, double fallback) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toDouble() : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int entries = int(Option(app.arguments(), "--entries", 10000));
    const double seconds = Option(app.arguments(), "--seconds", 3);
    const int clients = int(Option(app.arguments(), "--clients", 4));

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
        for (int seconds : wf::kGameLengths) {
            store.Add(seconds, qint32(i * 7919 % 30000 - 2000), QStringLiteral("Spieler %1").arg(i),
                      QByteArray::number(seconds) + '-' + QByteArray::number(i), now, &id);
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
    std::vector<QByteArray> posts(kMaxRequestsPerPhase / 50);
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
        const quint16 port = front.Port();
        auto get = [](const char* path) {
            return [request = "GET " + QByteArray(path) + " HTTP/1.1\r\nHost: b\r\n\r\n"](size_t) {
                return request;
            };
        };
        const double slice = seconds / kRounds;
        for (int round = 0; round < kRounds; ++round) {
            Load(fixed, server, port, clients, slice, kMaxRequestsPerPhase, 200,
                 get("/gleich-gross.html"));
            Load(table, server, port, clients, slice, kMaxRequestsPerPhase, 200, get("/hs.php"));
        }
        Load(submit, server, port, clients, seconds, posts.size(), 303,
             [&](size_t i) { return posts[i]; });
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    driver.join();

    QFile loadavg(QStringLiteral("/proc/loadavg"));
    loadavg.open(QIODevice::ReadOnly);
    std::printf("%d entries in each table, page of %lld bytes, %d clients, %.1f s each\n", entries,
                static_cast<long long>(tablePage.size()), clients, seconds);
    Report("static page", fixed);
    Report("table view", table);
    Report("submission", submit);
    std::printf("table view / static page: %.2f in server CPU per request, %.2f in time\n",
                CpuPerRequest(fixed) > 0 ? CpuPerRequest(table) / CpuPerRequest(fixed) : 0.0,
                PerSecond(table) > 0 ? PerSecond(fixed) / PerSecond(table) : 0.0);
    std::printf("load average before the end: %s", loadavg.readAll().constData());
    const bool complete = !fixed.ms.empty() && !table.ms.empty() && !submit.ms.empty();
    return complete && fixed.wrong + table.wrong + submit.wrong == 0 ? 0 : 1;
}
