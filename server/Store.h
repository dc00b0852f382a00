#pragma once
// The entries of the online tables in a database through Qt SQL: an SQLite
// file (the default, nothing to set up) or a PostgreSQL server. The schema is
// created and upgraded on opening. Every statement binds its values and is
// prepared once per connection. One Store is one connection and is used from
// one thread only (a Qt SQL connection must not cross threads); the database
// workers (DbWorkers) each own one.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <optional>

#include "Entry.h"

namespace wf {

struct DatabaseChoice {
    QString sqlitePath;  // used when postgres is empty
    QString postgres;    // a libpq connection string ("host=... dbname=...")
};

// What the places of the entries are computed from.
struct StoredScore {
    qint64 id = 0;
    int seconds = 0;
    qint32 score = 0;
};

class Store {
  public:
    Store();
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens the database, brings its schema up to date and reads the site's
    // secret; false with a message for the log when that fails. No statement
    // runs or waits for a lock longer than statementTimeoutMs.
    bool Open(const DatabaseChoice& choice, int statementTimeoutMs, QString* error);

    // The best `limit` entries of a game length, ties in the order of entry.
    std::optional<QList<Entry>> Top(int seconds, int limit);
    // Every entry with an id above afterId, by id.
    std::optional<QList<StoredScore>> ScoresAfter(qint64 afterId);

    // At most `count` entries per client within `window` seconds; count 0:
    // no limit. The client is stored as given: a name for it, not its address.
    struct Limit {
        QByteArray client;
        int count = 0;
        qint64 window = 0;
    };
    enum class Added { Stored, TokenUsed, Limited, Failed };
    // Stores an entry unless an entry with this token id exists already or
    // the client reached its limit; every server on the database counts
    // together. *value: the entry's id when Stored, the seconds until the
    // client may store again when Limited. A try refused for its token counts
    // for the limit.
    Added Add(int seconds, qint32 score, const QString& name, const QByteArray& tokenId, qint64 now,
              const Limit& limit, qint64* value);
    // Drops what the limit no longer needs: tries before `before`.
    void ForgetTries(qint64 before);

    // Random bytes kept in the database: the key of the form tokens, shared by
    // every server that uses the same database.
    const QByteArray& Secret() const { return secret_; }

  private:
    bool Connect(QString* error);
    template <typename Work>
    auto Twice(Work work);
    bool Upgrade(QString* error);
    bool ReadSecret(QString* error);
    // Runs one prepared statement; nullptr (and a line in the log) when it
    // failed. The query stays valid until the next call with the same sql.
    QSqlQuery* Run(const QString& sql, const QVariantList& values, const char* what);
    bool Plain(const QString& sql, const char* what);
    std::optional<Added> TryAdd(int seconds, qint32 score, const QString& name,
                                const QByteArray& tokenId, qint64 now, const Limit& limit,
                                qint64* value);
    void Log(const char* what, const QSqlError& error);

    QString connection_;
    QSqlDatabase db_;
    bool postgres_ = false;
    int timeoutMs_ = 5000;
    QHash<QString, QSqlQuery> prepared_;
    bool lostConnection_ = false;  // a statement failed for a reason other than its time
    QByteArray secret_;
};

}  // namespace wf
