#pragma once
// The highscore site: turns one request into one response. It knows nothing
// of sockets; the HTTP front (HttpFront) reads requests and writes responses.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPair>

#include "Entry.h"
#include "RateLimiter.h"

namespace wf {

class Store;

struct Request {
    QByteArray method;  // "GET", "HEAD", "POST", ...
    QByteArray path;    // as sent, still escaped
    QByteArray query;   // after '?', still escaped
    QByteArray contentType;
    QByteArray body;
    QHostAddress client;
};

struct Response {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;  // beyond the ones every response has
};

// A German error page with status (400, 404, 405, 408, 413, 414, 431, 503).
Response ErrorResponse(int status);

class Site {
  public:
    // maxSubmissions: entries one client address may store in ten minutes
    // (0: no limit).
    Site(Store& store, int maxSubmissions);

    Response Handle(const Request& request, qint64 now);

    // A fixed page served as it is (the home page, the style sheet; the
    // benchmark adds one of its own).
    void AddFixedPage(const QByteArray& path, const QByteArray& contentType,
                      const QByteArray& body);

  private:
    Response Tables(const Request& request, qint64 now);
    Response SubmitForm(const Request& request, qint64 now);
    Response Submit(const Request& request, qint64 now);
    // The three tables as HTML, built again after an entry was added here or
    // when older than a few seconds (another server may share the database).
    const QString* TablesHtml(qint64 now);

    Store& store_;
    RateLimiter limiter_;
    QHash<QByteArray, Response> fixed_;
    QString tablesHtml_;
    QByteArray tablesPage_;    // the whole page without a marked entry
    qint64 tablesBuilt_ = -1;  // -1: to be built
};

}  // namespace wf
