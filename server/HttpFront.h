#pragma once
// The HTTP side of the site, on Qt's HTTP server. That server sets no limits
// of its own, so this front owns every connection and sets them: how much a
// request may bring, how long a client may take, how many connections one
// client may hold. Runs in the thread of the event loop, like the Site.
#include <QAbstractHttpServer>
#include <QHostAddress>

namespace wf {

class Site;
struct Response;

struct HttpLimits {
    int timeoutSeconds = 10;         // to send a whole request, and to read the answer
    qint64 maxRequestBytes = 16384;  // request line, headers and body together
    qsizetype maxTargetBytes = 2048;
    int maxHeaders = 50;
    qsizetype maxBodyBytes = 4096;
    int maxConnections = 512;
    int maxConnectionsPerClient = 32;
};

// The bytes of one HTTP/1.1 response; head: without its body.
QByteArray SerializeResponse(const Response& response, bool head, bool close);

class HttpFront : public QAbstractHttpServer {
    Q_OBJECT
  public:
    HttpFront(Site& site, const HttpLimits& limits);

    bool Listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 Port() const;

  protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

  private:
    Response Answer(const QHttpServerRequest& request, QTcpSocket* socket);

    Site& site_;
    HttpLimits limits_;
    class GuardedServer* server_ = nullptr;
};

}  // namespace wf
