#include "HttpFront.h"

#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <QDateTime>
#include <QHash>
#include <QHttpServerRequest>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "Site.h"

namespace wf {
namespace {

const char* Reason(int status) {
    static const QHash<int, const char*> reasons = {
        {200, "OK"},
        {303, "See Other"},
        {400, "Bad Request"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {408, "Request Timeout"},
        {409, "Conflict"},
        {413, "Content Too Large"},
        {414, "URI Too Long"},
        {429, "Too Many Requests"},
        {431, "Request Header Fields Too Large"},
        {503, "Service Unavailable"},
    };
    return reasons.value(status, "Error");
}

// The site answers these three; every other method is refused alike.
const char* MethodName(QHttpServerRequest::Method method) {
    using M = QHttpServerRequest::Method;
    return method == M::Get    ? "GET"
           : method == M::Head ? "HEAD"
           : method == M::Post ? "POST"
                               : "OTHER";
}

// Bytes the kernel has received on a connection so far, read or not. Counting
// them here, rather than what the HTTP server has read, also sees what waits
// in the buffers.
qint64 BytesReceived(QTcpSocket* socket) {
    tcp_info info{};
    socklen_t size = sizeof info;
    if (getsockopt(static_cast<int>(socket->socketDescriptor()), IPPROTO_TCP, TCP_INFO, &info,
                   &size) != 0)
        return 0;
    return static_cast<qint64>(info.tcpi_bytes_received);
}

// Watches one connection: a request must arrive whole, within the size limit
// and within the time limit counted from the connection or from the last
// answer; the answer must be read within the time limit too.
class ConnectionGuard : public QObject {
  public:
    ConnectionGuard(QTcpSocket* socket, const HttpLimits& limits)
        : QObject(socket), socket_(socket), limits_(limits) {
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, &ConnectionGuard::TimedOut);
        timer_.start(limits_.timeoutSeconds * 1000);
        // Connected before the HTTP server's own slot, so this runs first.
        connect(socket, &QTcpSocket::readyRead, this, &ConnectionGuard::CheckSize);
    }

    void RequestAnswered() {
        requestStart_ = BytesReceived(socket_);
        timer_.start(limits_.timeoutSeconds * 1000);
    }

  private:
    void CheckSize() {
        if (BytesReceived(socket_) - requestStart_ > limits_.maxRequestBytes)
            Refuse(413);
    }

    void TimedOut() {
        if (refused_ || BytesReceived(socket_) == requestStart_)
            socket_->abort();  // idle, or the refusal was not read in time
        else
            Refuse(408);
    }

    // Answers and closes; the HTTP server sees nothing more of this connection.
    void Refuse(int status) {
        refused_ = true;
        disconnect(socket_, &QTcpSocket::readyRead, nullptr, nullptr);
        socket_->write(SerializeResponse(ErrorResponse(status), false, true));
        socket_->disconnectFromHost();
        timer_.start(limits_.timeoutSeconds * 1000);
    }

    QTcpSocket* socket_;
    const HttpLimits& limits_;
    QTimer timer_;
    qint64 requestStart_ = 0;
    bool refused_ = false;
};

QByteArray ClientKey(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    return v4 ? QByteArray::number(ip4) : address.toString().toLatin1();
}

}  // namespace

// Hands every accepted connection to the HTTP server with a guard, or closes
// it at once when there are too many.
class GuardedServer : public QTcpServer {
  public:
    GuardedServer(const HttpLimits& limits, QObject* parent)
        : QTcpServer(parent), limits_(limits) {}

  protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        const QByteArray client = ClientKey(socket->peerAddress());
        if (open_ >= limits_.maxConnections ||
            perClient_.value(client) >= limits_.maxConnectionsPerClient) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        ++open_;
        ++perClient_[client];
        connect(socket, &QObject::destroyed, this, [this, client] {
            --open_;
            if (--perClient_[client] <= 0)
                perClient_.remove(client);
        });
        // Each answer goes out at once rather than waiting for the client's
        // acknowledgement of the last one (40 ms a page otherwise).
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket->setReadBufferSize(4 * limits_.maxRequestBytes);
        new ConnectionGuard(socket, limits_);
        addPendingConnection(socket);
    }

  private:
    const HttpLimits& limits_;
    int open_ = 0;
    QHash<QByteArray, int> perClient_;
};

QByteArray SerializeResponse(const Response& response, bool head, bool close) {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                     Reason(response.status) + "\r\nContent-Type: " + response.contentType +
                     "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                     "\r\nContent-Security-Policy: default-src 'none'; style-src 'self'; "
                     "form-action 'self'; frame-ancestors 'none'; base-uri 'none'"
                     "\r\nX-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n";
    for (const auto& [name, value] : response.headers)
        out += name + ": " + value + "\r\n";
    if (close)
        out += "Connection: close\r\n";
    out += "\r\n";
    if (!head)
        out += response.body;
    return out;
}

HttpFront::HttpFront(Site& site, const HttpLimits& limits) : site_(site), limits_(limits) {}

bool HttpFront::Listen(const QHostAddress& address, quint16 port, QString* error) {
    server_ = new GuardedServer(limits_, this);
    if (!server_->listen(address, port)) {
        *error = server_->errorString();
        return false;
    }
    bind(server_);
    return true;
}

quint16 HttpFront::Port() const {
    return server_ ? server_->serverPort() : 0;
}

Response HttpFront::Answer(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QUrl url = request.url();
    Request r;
    r.method = MethodName(request.method());
    r.path = url.path(QUrl::FullyEncoded).toLatin1();
    r.query = url.query(QUrl::FullyEncoded).toLatin1();
    r.body = request.body();
    r.client = socket->peerAddress();
    const auto headers = request.headers();
    for (const auto& [name, value] : headers) {
        if (name.compare("Content-Type", Qt::CaseInsensitive) == 0)
            r.contentType = value;
    }
    if (r.path.size() + r.query.size() > limits_.maxTargetBytes)
        return ErrorResponse(414);
    if (headers.size() > limits_.maxHeaders)
        return ErrorResponse(431);
    if (r.body.size() > limits_.maxBodyBytes)
        return ErrorResponse(413);
    return site_.Handle(r, QDateTime::currentSecsSinceEpoch());
}

bool HttpFront::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    for (QObject* child : socket->children()) {
        if (auto* guard = dynamic_cast<ConnectionGuard*>(child))
            guard->RequestAnswered();
    }
    bool close = false;
    for (const auto& [name, value] : request.headers()) {
        if (name.compare("Connection", Qt::CaseInsensitive) == 0 &&
            value.trimmed().compare("close", Qt::CaseInsensitive) == 0)
            close = true;
    }
    socket->write(SerializeResponse(Answer(request, socket),
                                    request.method() == QHttpServerRequest::Method::Head, close));
    if (close)
        socket->disconnectFromHost();
    return true;
}

void HttpFront::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    socket->write(SerializeResponse(ErrorResponse(404),
                                    request.method() == QHttpServerRequest::Method::Head, false));
}

}  // namespace wf
