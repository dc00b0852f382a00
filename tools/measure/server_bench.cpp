// Load on the highscore site as an operator runs it, over loopback: two
// instances of the real program on one database (SQLite, or with --postgres a
// PostgreSQL server of its own) behind nginx with the example configuration
// of docs/, N entries in each table. Each phase keeps C keep-alive connections
// busy for S seconds, each connection from a loopback address of its own, as
// players come: first nginx serving the table page as a static file of the
// same size (the anchor), then the table page through nginx, the page after
// an entry (never cached) through nginx, both pages from one instance
// directly, and form submissions through nginx from P clients, each form
// from a player of its own (the entry limit counts). Reports
// requests per second, latency, errors and the CPU time of the instances per
// request; exits 1 on any wrong answer.
//
//   server_bench [--entries N] [--seconds S] [--clients C] [--posters P] [--postgres]
#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpSocket>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "FormToken.h"
#include "GameLengths.h"
#include "ScoreRecord.h"
#include "SiteRig.h"
#include "Store.h"
#include "TextCipher.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Connection {
    int fd = -1;
    int index = 0;  // its loopback address
    QByteArray got;
    Clock::time_point sent;
};

bool Open(Connection& c, quint16 port, int epoll) {
    c.fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    const int one = 1;
    setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in from{AF_INET, 0, {htonl(0x7f010001 + ((c.index / 250) << 8) + c.index % 250)}, {}};
    sockaddr_in to{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    bind(c.fd, reinterpret_cast<sockaddr*>(&from), sizeof from);
    if (connect(c.fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS)
        return false;
    epoll_event e{EPOLLIN, {.ptr = &c}};
    return epoll_ctl(epoll, EPOLL_CTL_ADD, c.fd, &e) == 0;
}

struct Figures {
    size_t answers = 0, wrong = 0;
    std::vector<float> ms;
};

// clients connections, spread over two threads, each sending next() and
// waiting for the whole answer, for `seconds`; wrong: another status, or a
// connection that broke.
Figures Load(quint16 port, int clients, double seconds, const std::function<QByteArray()>& next,
             int expected) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    std::vector<Figures> parts(2);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            Figures& f = parts[size_t(t)];
            const int epoll = epoll_create1(0);
            std::vector<Connection> conns(size_t(clients / 2 + (t == 0 ? clients % 2 : 0)));
            const auto send = [&](Connection& c) {
                const QByteArray request = next();
                c.got.clear();
                c.sent = Clock::now();
                return !request.isEmpty() &&
                       ::send(c.fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) ==
                           request.size();
            };
            for (size_t i = 0; i < conns.size(); ++i) {
                conns[i].index = t + 2 * int(i);
                if (!Open(conns[i], port, epoll) || (usleep(100), !send(conns[i])))
                    ++f.wrong;
            }
            epoll_event events[64];
            while (Clock::now() < end) {
                const int n = epoll_wait(epoll, events, 64, 50);
                for (int i = 0; i < n; ++i) {
                    Connection& c = *static_cast<Connection*>(events[i].data.ptr);
                    char chunk[65536];
                    const ssize_t got = recv(c.fd, chunk, sizeof chunk, 0);
                    if (got < 0 && errno == EAGAIN)
                        continue;
                    if (got > 0)
                        c.got.append(chunk, got);
                    const qsizetype head = c.got.indexOf("\r\n\r\n");
                    const qsizetype length = c.got.indexOf("Content-Length: ");
                    const bool whole =
                        head > 0 && length > 0 &&
                        c.got.size() >=
                            head + 4 + c.got.mid(length + 16, 12).split('\r')[0].toLongLong();
                    if (got > 0 && !whole)
                        continue;
                    const bool right = whole && c.got.mid(9, 3).toInt() == expected;
                    f.wrong += !right;
                    f.answers += right;
                    f.ms.push_back(
                        std::chrono::duration<float, std::milli>(Clock::now() - c.sent).count());
                    if (!right || c.got.left(head).contains("Connection: close")) {
                        close(c.fd);
                        if (!Open(c, port, epoll))
                            ++f.wrong;
                    }
                    if (Clock::now() < end && !send(c))
                        ++f.wrong;
                }
            }
            for (Connection& c : conns)
                close(c.fd);
            close(epoll);
        });
    }
    for (auto& t : threads)
        t.join();
    Figures all;
    for (Figures& f : parts) {
        all.answers += f.answers;
        all.wrong += f.wrong;
        all.ms.insert(all.ms.end(), f.ms.begin(), f.ms.end());
    }
    std::sort(all.ms.begin(), all.ms.end());
    return all;
}

// CPU seconds the processes used so far.
double CpuSeconds(const std::vector<qint64>& pids) {
    double sum = 0;
    for (qint64 pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> f = stat.readAll().split(')').last().split(' ');
            sum += (f.value(12).toDouble() + f.value(13).toDouble()) / double(sysconf(_SC_CLK_TCK));
        }
    }
    return sum;
}

QByteArray Get(const QByteArray& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: bench\r\n\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const char* name, double fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i > 0 && i + 1 < args.size() ? args[i + 1].toDouble() : fallback;
    };
    const int entries = int(option("--entries", 10000)), clients = int(option("--clients", 256));
    const int posters = int(option("--posters", 16));
    const double seconds = option("--seconds", 5);
    const bool postgres = args.contains(QStringLiteral("--postgres"));
    const auto fail = [](const QString& why) {
        std::fprintf(stderr, "server_bench: %s\n", qPrintable(why));
        return 1;
    };

    wf::SiteRig rig(postgres);
    QString error = rig.StartDatabase();
    const QStringList db = rig.DatabaseOptions();
    wf::Store store;  // makes the schema
    if (!error.isEmpty() ||
        !store.Open({postgres ? QString() : db[1], postgres ? db[1] : QString()}, 60000, &error))
        return fail(error);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    {
        QSqlDatabase fill = QSqlDatabase::addDatabase(postgres ? "QPSQL" : "QSQLITE", "fill");
        postgres ? fill.setConnectOptions(db[1]) : fill.setDatabaseName(db[1]);
        QSqlQuery q(fill);
        if (!fill.open() ||
            !q.prepare(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?), "
                "l(s) AS (SELECT 30 UNION ALL SELECT 60 UNION ALL SELECT 120) "
                "INSERT INTO entries (seconds, score, name, created, token) SELECT s, "
                "(i * 7919) % 30000 - 2000, 'Spieler ' || i, ?, s || '-' || i FROM n, l"))
            return fail(fill.lastError().text());
        q.addBindValue(entries);
        q.addBindValue(now);
        if (entries > 0 && !q.exec())
            return fail(q.lastError().text());
    }
    QSqlDatabase::removeDatabase("fill");
    // Each form from a player of its own: the bench's addresses stand for
    // proxies, whose X-Forwarded-For names the player.
    error = rig.StartSite(2, {"--trusted-proxy", "127.0.0.0/8"}, true);
    if (!error.isEmpty())
        return fail(error);

    // The anchor: the very page, as a file.
    QTcpSocket one;
    one.connectToHost(QHostAddress::LocalHost, rig.Port(0));
    one.write("GET /hs.php HTTP/1.1\r\nConnection: close\r\n\r\n");
    QByteArray whole;
    while (one.waitForReadyRead(5000))
        whole += one.readAll();
    const QByteArray body = whole.mid(whole.indexOf("\r\n\r\n") + 4);
    QFile anchor(rig.StaticDir() + "/hs.html");
    if (!whole.startsWith("HTTP/1.1 200") || !anchor.open(QIODevice::WriteOnly) ||
        anchor.write(body) != body.size())
        return fail(QStringLiteral("no table page for the anchor"));
    anchor.close();

    // Fresh forms, one token each, as browsers would have fetched them.
    const QByteArray digits = wf::EncodeText(wf::ResultRecord(60, 245), wf::ScoreKey, true);
    std::vector<QByteArray> posts(size_t(std::clamp(seconds * 6000, 1000.0, 200000.0)));
    quint32 client = 0x0a000000;
    for (QByteArray& post : posts) {
        const QByteArray form = "punkte=" + digits +
                                "&token=" + wf::IssueToken(store.Secret(), digits, now) +
                                "&name=Bench";
        post = "POST /wfscore.php HTTP/1.1\r\nHost: bench\r\nX-Forwarded-For: " +
               QHostAddress(++client).toString().toLatin1() +
               "\r\nContent-Type: "
               "application/x-www-form-urlencoded\r\nContent-Length: " +
               QByteArray::number(form.size()) + "\r\n\r\n" + form;
    }
    std::atomic<size_t> nextPost{0};
    const QByteArray after = "/hs.php?neu=" + QByteArray::number(qint64(entries) * 3 / 2);
    std::printf(
        "%d entries in each table, a table page of %lld bytes, %s, two instances behind "
        "nginx, %.1f s per phase\n",
        entries, static_cast<long long>(body.size()), postgres ? "PostgreSQL" : "SQLite", seconds);
    const struct {
        const char* what;
        quint16 port;
        int clients;
        std::function<QByteArray()> next;
        int expected;
    } phases[] = {
        {"static page, nginx", rig.StaticPort(), clients, [] { return Get("/hs.html"); }, 200},
        {"table view, nginx + site", rig.NginxPort(), clients, [] { return Get("/hs.php"); }, 200},
        {"page after entry, nginx + site", rig.NginxPort(), clients, [&] { return Get(after); },
         200},
        {"table view, one instance", rig.Port(0), clients, [] { return Get("/hs.php"); }, 200},
        {"page after entry, one instance", rig.Port(0), clients, [&] { return Get(after); }, 200},
        {"submission, nginx + site", rig.NginxPort(), posters,
         [&] {
             const size_t i = nextPost++;
             return i < posts.size() ? posts[i] : QByteArray();
         },
         303},
    };
    // The phases take turns in slices of at most 2 s, so that a machine whose
    // load changes (other work beside the bench) weighs on each alike.
    const std::vector<qint64> pids = {rig.Pid(0), rig.Pid(1)};
    const int slices = std::max(1, int(seconds / 2));
    struct Sum {
        Figures f;
        double took = 0, cpu = 0;
    };
    std::vector<Sum> sums(std::size(phases));
    for (int slice = 0; slice < slices; ++slice) {
        for (size_t i = 0; i < sums.size(); ++i) {
            const auto& p = phases[i];
            const double cpu = CpuSeconds(pids);
            const auto start = Clock::now();
            Figures f = Load(p.port, p.clients, seconds / slices, p.next, p.expected);
            sums[i].took += std::chrono::duration<double>(Clock::now() - start).count();
            sums[i].cpu += CpuSeconds(pids) - cpu;
            sums[i].f.answers += f.answers;
            sums[i].f.wrong += f.wrong;
            sums[i].f.ms.insert(sums[i].f.ms.end(), f.ms.begin(), f.ms.end());
        }
    }
    size_t wrong = 0;
    for (size_t i = 0; i < sums.size(); ++i) {
        Figures& f = sums[i].f;
        std::sort(f.ms.begin(), f.ms.end());
        const double rate = double(f.answers) / sums[i].took;
        const auto at = [&](double q) {
            return f.ms.empty() ? 0.0 : f.ms[size_t(q * double(f.ms.size() - 1))];
        };
        std::printf(
            "%-31s %4d clients %7.0f/s (%.2f x static)  p50 %6.2f ms  p99 %7.2f ms  "
            "site CPU %5.1f us/request  %zu answers, %zu wrong (%.3f %%)\n",
            phases[i].what, phases[i].clients, rate,
            rate * sums[0].took / double(std::max<size_t>(1, sums[0].f.answers)), at(0.5), at(0.99),
            1e6 * sums[i].cpu / double(std::max<size_t>(1, f.answers)), f.answers, f.wrong,
            100.0 * double(f.wrong) / double(std::max<size_t>(1, f.answers + f.wrong)));
        wrong += f.wrong + (f.answers == 0);
    }
    std::fflush(stdout);
    return rig.StopSite() && wrong == 0 ? 0 : 1;
}
