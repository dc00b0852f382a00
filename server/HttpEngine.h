#pragma once
// The HTTP side of the site, on GNU libmicrohttpd: it parses requests
// strictly, answers one request of a connection at a time (a client that does
// not read its answers gets no more of them and is cut at the time limit),
// keeps each connection within a small memory pool and runs its connections
// on a pool of epoll threads. On top of it this engine sets the site's own
// limits: connections per client and in all (with room kept for clients that
// hold none yet), a time limit for a whole request and for its answer, the
// size of what a request may bring, the framing rules of RFC 9112, the client
// behind a trusted proxy, and one access log line per request. Requests that
// need the database wait on a database worker without holding up the rest.
#include <QHostAddress>
#include <memory>

namespace wf {

class AccessLog;
class DbWorkers;
class Site;
class TrustedProxies;

struct HttpLimits {
    int timeoutSeconds = 10;  // for a whole request, and for its answer
    qsizetype maxTargetBytes = 2048;
    int maxHeaders = 50;
    qsizetype maxBodyBytes = 4096;
    int maxConnections = 1024;
    // Per client: connections, or behind a trusted proxy requests at a time.
    int maxConnectionsPerClient = 16;
};

class HttpEngine {
  public:
    HttpEngine(Site& site, DbWorkers& db, const HttpLimits& limits, const TrustedProxies& proxies,
               AccessLog& log);
    ~HttpEngine();

    bool Listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 Port() const;
    // Takes no more connections; those open go on.
    void StopAccepting();
    // Ends every connection. Tasks on database workers must be done.
    void Stop();

    struct State;

  private:
    std::unique_ptr<State> state_;
};

}  // namespace wf
