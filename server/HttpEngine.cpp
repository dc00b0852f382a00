#include "HttpEngine.h"

#include <linux/tcp.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "AccessLog.h"
#include "ClientAddress.h"
#include "DbWorkers.h"
#include "Site.h"

namespace wf {
namespace {

qint64 NowMs() {
    return QDeadlineTimer::current().deadline();
}

// Bytes the kernel has received on a connection so far, read or not: tells a
// request that has begun from an idle connection.
quint64 BytesReceived(int fd) {
    tcp_info info{};
    socklen_t size = sizeof info;
    return getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 ? info.tcpi_bytes_received : 0;
}

QHostAddress PeerOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info && info->client_addr ? QHostAddress(info->client_addr) : QHostAddress();
}

// What every response of the site carries besides its own headers.
const QPair<const char*, const char*> kCommonHeaders[] = {
    {"Content-Security-Policy",
     "default-src 'none'; style-src 'self'; form-action 'self'; frame-ancestors 'none'; "
     "base-uri 'none'"},
    {"X-Content-Type-Options", "nosniff"},
    {"Referrer-Policy", "no-referrer"},
};

// The whole 408 answer, written by the watchdog itself: the engine has no
// request to answer while one is still arriving.
QByteArray TimeoutAnswer() {
    const Response page = ErrorResponse(408);
    QByteArray out = "HTTP/1.1 408 Request Timeout\r\nContent-Type: " + page.contentType +
                     "\r\nContent-Length: " + QByteArray::number(page.body.size()) +
                     "\r\nConnection: close\r\n";
    for (const auto& [name, value] : kCommonHeaders)
        out += QByteArray(name) + ": " + value + "\r\n";
    return out + "\r\n" + page.body;
}

}  // namespace

// One TCP connection, from its start to its close.
struct Connection {
    int fd = -1;
    QHostAddress peer;
    QByteArray key;      // ClientKey(peer)
    bool proxy = false;  // a trusted proxy: counts only for the total
    // Receiving: from the end of the last answer (or the start) until the
    // request is whole; Answering: the site or a database worker works on
    // it; Sending: the answer goes out. Receiving and Sending each have the
    // time limit.
    enum Phase { Receiving, Answering, Sending } phase = Receiving;
    qint64 since = 0;
    quint64 bytesBefore = 0;  // BytesReceived at the start of Receiving
    enum Cut { Open, Told, Shut } cut = Open;
    qint64 cutAt = 0;
};

// One request and its answer.
struct Exchange {
    MHD_Connection* mhd = nullptr;
    Connection* connection = nullptr;
    QByteArray target;  // as sent
    qint64 startMs = 0;
    bool begun = false;  // the headers are in
    Request request;
    QByteArray heldBy;  // behind a proxy: the client this request counts for
    bool answered = false;
    Response response;
    bool close = false;
};

struct HttpEngine::State {
    Site& site;
    DbWorkers& db;
    HttpLimits limits;
    const TrustedProxies& proxies;
    AccessLog& log;
    QByteArray timeoutAnswer = TimeoutAnswer();
    MHD_Daemon* daemon = nullptr;
    std::mutex mutex;  // for everything below
    QSet<Connection*> connections;
    QHash<QByteArray, int> perClient;  // connections, not counting trusted proxies
    QHash<QByteArray, int> forwarded;  // requests at a time, behind trusted proxies
    bool stopping = false;
    std::condition_variable wake;
    std::thread watchdog;
    QString lastMessage;

    State(Site& s, DbWorkers& d, const HttpLimits& l, const TrustedProxies& p, AccessLog& a)
        : site(s), db(d), limits(l), proxies(p), log(a) {}

    MHD_Result Accept(const sockaddr* address);
    void Notify(MHD_Connection* mhd, void** context, MHD_ConnectionNotificationCode code);
    MHD_Result Handle(MHD_Connection* mhd, Exchange* ex, const char* method, const char* data,
                      size_t* size);
    MHD_Result Begin(MHD_Connection* mhd, Exchange* ex, const char* method);
    MHD_Result Refuse(MHD_Connection* mhd, Exchange* ex, int status, bool close);
    MHD_Result Queue(MHD_Connection* mhd, Exchange* ex);
    void Completed(MHD_Connection* mhd, Exchange* ex);
    void Watch();
};

MHD_Result HttpEngine::State::Accept(const sockaddr* address) {
    const QHostAddress peer(address);
    std::lock_guard lock(mutex);
    const int open = int(connections.size());
    if (open >= limits.maxConnections)
        return MHD_NO;
    if (proxies.Trusts(peer))
        return MHD_YES;
    // The last quarter of the connections is kept for clients that hold
    // fewer than two, so that a few clients cannot take them all.
    const int held = perClient.value(ClientKey(peer));
    const bool crowded = open >= limits.maxConnections - limits.maxConnections / 4;
    return held < limits.maxConnectionsPerClient && (!crowded || held < 2) ? MHD_YES : MHD_NO;
}

void HttpEngine::State::Notify(MHD_Connection* mhd, void** context,
                               MHD_ConnectionNotificationCode code) {
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        auto* c = new Connection;
        c->fd = MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_CONNECTION_FD)->connect_fd;
        c->peer = PeerOf(mhd);
        c->key = ClientKey(c->peer);
        c->proxy = proxies.Trusts(c->peer);
        c->since = NowMs();
        *context = c;
        std::lock_guard lock(mutex);
        connections.insert(c);
        if (!c->proxy)
            ++perClient[c->key];
        return;
    }
    auto* c = static_cast<Connection*>(*context);
    if (!c)
        return;
    {
        // MHD closes the socket after this, so the watchdog never touches a
        // descriptor that another connection got.
        std::lock_guard lock(mutex);
        connections.remove(c);
        if (!c->proxy && --perClient[c->key] <= 0)
            perClient.remove(c->key);
    }
    delete c;
    *context = nullptr;
}

MHD_Result HttpEngine::State::Handle(MHD_Connection* mhd, Exchange* ex, const char* method,
                                     const char* data, size_t* size) {
    if (!ex->begun)
        return Begin(mhd, ex, method);
    if (*size > 0) {
        const qsizetype got = qsizetype(*size);
        *size = 0;
        if (ex->answered)
            return MHD_YES;
        ex->request.body.append(data, got);
        if (ex->request.body.size() > limits.maxBodyBytes) {
            // Answered once the body has passed: the engine cannot answer in
            // the middle of one (the time limit still ends an endless one).
            ex->response = ErrorResponse(413);
            ex->answered = ex->close = true;
        }
        return MHD_YES;
    }
    if (ex->answered)
        return Queue(mhd, ex);  // a task's answer, after the connection was resumed
    {
        std::lock_guard lock(mutex);
        ex->connection->phase = Connection::Answering;
    }
    Site::Answer answer = site.Handle(ex->request, QDateTime::currentSecsSinceEpoch());
    if (Response* response = std::get_if<Response>(&answer)) {
        ex->response = std::move(*response);
        ex->answered = true;
        return Queue(mhd, ex);
    }
    // Suspended before the task is posted, so that its end may resume it.
    MHD_suspend_connection(mhd);
    db.Post(
        [ex, task = std::move(std::get<Site::Task>(answer))](Store* store) {
            ex->response = task(store);
            ex->answered = true;
            MHD_resume_connection(ex->mhd);
        },
        limits.timeoutSeconds * 1000 / 2);
    return MHD_YES;
}

namespace {

struct Framing {
    int headers = 0;
    int lengths = 0;
    QByteArray length, transferEncoding, contentType, forwardedFor;
};

MHD_Result CountHeader(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto* f = static_cast<Framing*>(cls);
    ++f->headers;
    const QByteArray v(value ? value : "");
    if (strcasecmp(key, "Content-Length") == 0) {
        ++f->lengths;
        f->length = v;
    } else if (strcasecmp(key, "Transfer-Encoding") == 0) {
        f->transferEncoding += f->transferEncoding.isEmpty() ? v : "," + v;
    } else if (strcasecmp(key, "Content-Type") == 0) {
        f->contentType = v;
    } else if (strcasecmp(key, "X-Forwarded-For") == 0) {
        f->forwardedFor += f->forwardedFor.isEmpty() ? v : "," + v;
    }
    return MHD_YES;
}

}  // namespace

MHD_Result HttpEngine::State::Begin(MHD_Connection* mhd, Exchange* ex, const char* method) {
    ex->begun = true;
    ex->mhd = mhd;
    ex->connection = static_cast<Connection*>(
        MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_SOCKET_CONTEXT)->socket_context);
    {
        std::lock_guard lock(mutex);
        if (ex->connection->cut != Connection::Open)
            return MHD_NO;  // it took too long and was answered 408
    }
    Framing f;
    MHD_get_connection_values(mhd, MHD_HEADER_KIND, CountHeader, &f);
    Request& r = ex->request;
    r.method = method;
    const qsizetype question = ex->target.indexOf('?');
    r.path = question < 0 ? ex->target : ex->target.left(question);
    r.query = question < 0 ? QByteArray() : ex->target.mid(question + 1);
    r.contentType = f.contentType;
    r.client = proxies.Client(ex->connection->peer, f.forwardedFor);
    // RFC 9112, 6.3: a length given twice, or beside a transfer coding, or a
    // coding other than chunked, leaves the end of the request in doubt, and
    // with it where the next one starts: refused, and the connection closed.
    const bool body = f.lengths > 0 || !f.transferEncoding.isEmpty();
    bool lengthOk = false;
    const qint64 length = f.length.toLongLong(&lengthOk);
    if (f.lengths > 1 || (f.lengths == 1 && (!f.transferEncoding.isEmpty() || !lengthOk)) ||
        (!f.transferEncoding.isEmpty() &&
         f.transferEncoding.trimmed().compare("chunked", Qt::CaseInsensitive) != 0))
        return Refuse(mhd, ex, 400, true);
    if (ex->target.size() > limits.maxTargetBytes)
        return Refuse(mhd, ex, 414, body);
    if (f.headers > limits.maxHeaders)
        return Refuse(mhd, ex, 431, body);
    if (length > limits.maxBodyBytes)
        return Refuse(mhd, ex, 413, true);
    if (ex->connection->proxy) {
        const QByteArray key = ClientKey(r.client);
        std::lock_guard lock(mutex);
        int& held = forwarded[key];
        if (held >= limits.maxConnectionsPerClient) {
            if (held == 0)
                forwarded.remove(key);
            return Refuse(mhd, ex, 503, body);
        }
        ++held;
        ex->heldBy = key;
    }
    return MHD_YES;
}

MHD_Result HttpEngine::State::Refuse(MHD_Connection* mhd, Exchange* ex, int status, bool close) {
    ex->response = ErrorResponse(status);
    ex->answered = true;
    ex->close = close;
    return Queue(mhd, ex);
}

MHD_Result HttpEngine::State::Queue(MHD_Connection* mhd, Exchange* ex) {
    const Response& r = ex->response;
    // The body lives in the exchange until the request is completed.
    MHD_Response* out = MHD_create_response_from_buffer(
        size_t(r.body.size()), const_cast<char*>(r.body.constData()), MHD_RESPMEM_PERSISTENT);
    if (!out)
        return MHD_NO;
    MHD_add_response_header(out, "Content-Type", r.contentType.constData());
    for (const auto& [name, value] : kCommonHeaders)
        MHD_add_response_header(out, name, value);
    for (const auto& [name, value] : r.headers)
        MHD_add_response_header(out, name.constData(), value.constData());
    if (ex->close)
        MHD_add_response_header(out, "Connection", "close");
    const MHD_Result queued = MHD_queue_response(mhd, unsigned(r.status), out);
    MHD_destroy_response(out);
    std::lock_guard lock(mutex);
    ex->connection->phase = Connection::Sending;
    ex->connection->since = NowMs();
    return queued;
}

void HttpEngine::State::Completed(MHD_Connection* mhd, Exchange* ex) {
    // A request the engine refused by itself (one too big for the memory
    // pool, say) never reached Begin: its status comes from the engine.
    const MHD_ConnectionInfo* status =
        MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_HTTP_STATUS);
    const int code = ex->answered ? ex->response.status : status ? int(status->http_status) : 0;
    const qsizetype query = ex->target.indexOf('?');
    log.Add((ex->begun ? ex->request.client : PeerOf(mhd)).toString().toLatin1(),
            ex->request.method.isEmpty() ? QByteArray("-") : ex->request.method,
            query < 0 ? ex->target : ex->target.left(query), code,
            ex->answered && ex->request.method != "HEAD" ? ex->response.body.size() : 0,
            double(NowMs() - ex->startMs));
    auto* c = static_cast<Connection*>(
        MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_SOCKET_CONTEXT)->socket_context);
    const quint64 received = c ? BytesReceived(c->fd) : 0;
    std::lock_guard lock(mutex);
    if (!ex->heldBy.isEmpty() && --forwarded[ex->heldBy] <= 0)
        forwarded.remove(ex->heldBy);
    if (c) {
        c->phase = Connection::Receiving;
        c->since = NowMs();
        c->bytesBefore = received;
    }
}

void HttpEngine::State::Watch() {
    qint64 flushed = NowMs();
    std::unique_lock lock(mutex);
    while (!stopping) {
        wake.wait_for(lock, std::chrono::milliseconds(200));
        const qint64 now = NowMs();
        const qint64 limitMs = qint64(limits.timeoutSeconds) * 1000;
        for (Connection* c : std::as_const(connections)) {
            if (c->cut == Connection::Told && now - c->cutAt >= 1000) {
                shutdown(c->fd, SHUT_RDWR);  // it did not close after the 408
                c->cut = Connection::Shut;
            }
            if (c->cut != Connection::Open || c->phase == Connection::Answering ||
                now - c->since < limitMs)
                continue;
            c->cutAt = now;
            if (c->phase == Connection::Receiving && BytesReceived(c->fd) > c->bytesBefore) {
                // A request began but did not arrive whole in time.
                send(c->fd, timeoutAnswer.constData(), size_t(timeoutAnswer.size()),
                     MSG_DONTWAIT | MSG_NOSIGNAL);
                shutdown(c->fd, SHUT_WR);
                c->cut = Connection::Told;
                log.Add(c->peer.toString().toLatin1(), "-", "-", 408, 0, double(now - c->since));
            } else {
                // Idle, or its answer was not read in time.
                shutdown(c->fd, SHUT_RDWR);
                c->cut = Connection::Shut;
            }
        }
        if (now - flushed >= 1000) {
            lock.unlock();
            log.Flush();
            flushed = now;
            lock.lock();
        }
    }
}

namespace {

HttpEngine::State* Of(void* cls) {
    return static_cast<HttpEngine::State*>(cls);
}

MHD_Result OnAccept(void* cls, const sockaddr* address, socklen_t) {
    return Of(cls)->Accept(address);
}

void OnConnection(void* cls, MHD_Connection* mhd, void** context,
                  MHD_ConnectionNotificationCode code) {
    Of(cls)->Notify(mhd, context, code);
}

void* OnUri(void*, const char* uri, MHD_Connection*) {
    auto* ex = new Exchange;
    ex->target = uri;
    ex->startMs = NowMs();
    return ex;
}

MHD_Result OnRequest(void* cls, MHD_Connection* mhd, const char*, const char* method, const char*,
                     const char* data, size_t* size, void** context) {
    return Of(cls)->Handle(mhd, static_cast<Exchange*>(*context), method, data, size);
}

void OnCompleted(void* cls, MHD_Connection* mhd, void** context, MHD_RequestTerminationCode) {
    auto* ex = static_cast<Exchange*>(*context);
    if (!ex)
        return;
    Of(cls)->Completed(mhd, ex);
    delete ex;
    *context = nullptr;
}

// The engine's own messages are about single clients (a connection refused,
// a broken request): no news for the log. The last one explains a failed
// start.
void OnMessage(void* cls, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    std::lock_guard lock(Of(cls)->mutex);
    Of(cls)->lastMessage = QString::fromLocal8Bit(text).trimmed();
}

}  // namespace

HttpEngine::HttpEngine(Site& site, DbWorkers& db, const HttpLimits& limits,
                       const TrustedProxies& proxies, AccessLog& log)
    : state_(std::make_unique<State>(site, db, limits, proxies, log)) {}

HttpEngine::~HttpEngine() {
    Stop();
}

bool HttpEngine::Listen(const QHostAddress& address, quint16 port, QString* error) {
    sockaddr_storage where{};
    const bool v6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&where);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(port);
        const Q_IPV6ADDR ip = address.toIPv6Address();
        std::memcpy(&a->sin6_addr, ip.c, sizeof ip.c);
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&where);
        a->sin_family = AF_INET;
        a->sin_port = htons(port);
        a->sin_addr.s_addr = htonl(address.toIPv4Address());
    }
    State* s = state_.get();
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    s->daemon = MHD_start_daemon(
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG |
            (v6 ? MHD_USE_IPv6 : 0),
        port, OnAccept, s, OnRequest, s, MHD_OPTION_SOCK_ADDR, &where, MHD_OPTION_THREAD_POOL_SIZE,
        threads, MHD_OPTION_CONNECTION_LIMIT, unsigned(s->limits.maxConnections),
        MHD_OPTION_CONNECTION_TIMEOUT, unsigned(s->limits.timeoutSeconds + 2),
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, size_t(32 * 1024), MHD_OPTION_LISTEN_BACKLOG_SIZE,
        1024u, MHD_OPTION_NOTIFY_CONNECTION, OnConnection, s, MHD_OPTION_URI_LOG_CALLBACK, OnUri, s,
        MHD_OPTION_NOTIFY_COMPLETED, OnCompleted, s, MHD_OPTION_EXTERNAL_LOGGER, OnMessage, s,
        MHD_OPTION_END);
    if (!s->daemon) {
        std::lock_guard lock(s->mutex);
        *error = s->lastMessage.isEmpty() ? QStringLiteral("the HTTP engine did not start")
                                          : s->lastMessage;
        return false;
    }
    s->watchdog = std::thread([s] { s->Watch(); });
    return true;
}

quint16 HttpEngine::Port() const {
    const MHD_DaemonInfo* info =
        state_->daemon ? MHD_get_daemon_info(state_->daemon, MHD_DAEMON_INFO_BIND_PORT) : nullptr;
    return info ? info->port : 0;
}

void HttpEngine::StopAccepting() {
    if (!state_->daemon)
        return;
    const MHD_socket listening = MHD_quiesce_daemon(state_->daemon);
    if (listening != MHD_INVALID_SOCKET)
        close(listening);
}

void HttpEngine::Stop() {
    State* s = state_.get();
    if (!s->daemon)
        return;
    {
        std::lock_guard lock(s->mutex);
        s->stopping = true;
    }
    s->wake.notify_all();
    s->watchdog.join();
    MHD_stop_daemon(s->daemon);
    s->daemon = nullptr;
    s->log.Flush();
}

}  // namespace wf
