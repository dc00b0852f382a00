#pragma once
// The highscore site: turns one request into one response. It knows nothing
// of sockets; the HTTP engine (HttpEngine) reads requests and writes
// responses, from several threads at once. What needs no database is answered
// at once: the fixed pages, the forms and the tables, which are kept in memory
// and rebuilt on a database worker while the old ones are still shown. The
// rest is a task for a database worker.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QSet>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <variant>

#include "DbWorkers.h"
#include "Entry.h"
#include "Ranks.h"

namespace wf {

struct Request {
    QByteArray method;  // "GET", "HEAD", "POST", ...
    QByteArray path;    // as sent, still escaped
    QByteArray query;   // after '?', still escaped
    QByteArray contentType;
    QByteArray body;
    QHostAddress client;  // behind a trusted proxy: the address it forwarded
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
    // Runs on a database worker; nullptr: no database in time (the site is
    // busy).
    using Task = std::function<Response(Store*)>;
    using Answer = std::variant<Response, Task>;

    // maxSubmissions: entries one client may store in ten minutes, counted in
    // the database (0: no limit); waitMs: how long a task may wait for a
    // worker.
    Site(DbWorkers& db, int maxSubmissions, int waitMs);

    // Reads the tables and the places of the entries once; false when the
    // database cannot give them.
    bool Start(qint64 now, QString* error);
    Answer Handle(const Request& request, qint64 now);

    // A fixed page served as it is (the home page, the style sheet).
    void AddFixedPage(const QByteArray& path, const QByteArray& contentType,
                      const QByteArray& body);

  private:
    struct Tables {
        QByteArray page;   // the whole page without a marked entry
        QSet<qint64> ids;  // of the entries shown
        qint64 built = 0;
        int changes = 0;  // changes_ when it was built
    };
    std::shared_ptr<const Tables> CurrentTables() const;
    bool Stale(const Tables& tables, qint64 now) const;
    // The table page from memory, or nullopt when it needs the database.
    std::optional<Response> TablesFromMemory(qint64 newId, qint64 now);
    Response TablesFromDatabase(Store* store, qint64 newId, qint64 now);
    Response ShowTables(const Tables& tables, qint64 newId);
    // Builds the tables unless `enough` says the current ones will do (one
    // build at a time); nullptr when the database failed.
    std::shared_ptr<const Tables> Build(Store& store, qint64 now,
                                        const std::function<bool(const Tables&)>& enough);
    void RefreshLater(qint64 now);
    void ReadPlaces(Store& store, qint64 afterId);
    Response SubmitForm(const Request& request, qint64 now);
    Answer Submit(const Request& request, qint64 now);
    Response Stored(Store* store, int seconds, qint32 score, const QString& name,
                    const QByteArray& tokenId, const QByteArray& client, qint64 now);

    DbWorkers& db_;
    int maxSubmissions_;
    int waitMs_;
    QHash<QByteArray, Response> fixed_;
    Ranks ranks_;

    mutable std::mutex mutex_;  // for tables_
    std::shared_ptr<const Tables> tables_;
    std::atomic<int> changes_{0};  // entries among the best stored by this server
    std::atomic<bool> refreshing_{false};
    std::mutex buildMutex_;
    std::mutex placesMutex_;  // one read of new places at a time, and for checkpoints_
    std::atomic<qint64> placesReadMs_{0};
    QList<QPair<qint64, qint64>> checkpoints_;  // (seconds, last id then)
    std::atomic<qint64> lastForget_{0};
};

}  // namespace wf
