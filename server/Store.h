#pragma once
// The entries of the online tables in a database through Qt SQL: an SQLite
// file (the default, nothing to set up) or a PostgreSQL server. The schema is
// created and upgraded on opening. Every statement binds its values.
// One Store is used from one thread only (a Qt SQL connection must not cross
// threads).
#include <QByteArray>
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

class Store {
  public:
    Store();
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens the database, brings its schema up to date and reads the site's
    // secret; false with a message for the log when that fails.
    bool Open(const DatabaseChoice& choice, QString* error);

    // The best `limit` entries of a game length, ties in the order of entry.
    std::optional<QList<Entry>> Top(int seconds, int limit);

    enum class Added { Stored, TokenUsed, Failed };
    // Stores an entry unless an entry with this token id exists already.
    Added Add(int seconds, qint32 score, const QString& name, const QByteArray& tokenId, qint64 now,
              qint64* id);

    struct Place {
        int seconds = 0;
        qint64 place = 0;  // 1 = best
    };
    std::optional<Place> PlaceOf(qint64 id);

    // Random bytes kept in the database: the key of the form tokens, shared by
    // every server that uses the same database.
    const QByteArray& Secret() const { return secret_; }

  private:
    bool Upgrade(QString* error);
    bool ReadSecret(QString* error);
    // Prepares, binds and runs one statement; nullopt (and a line in the log)
    // when it failed.
    std::optional<QSqlQuery> Query(const QString& sql, const QVariantList& values,
                                   const char* what);
    void Log(const char* what, const QSqlError& error);

    QString connection_;
    QSqlDatabase db_;
    bool postgres_ = false;
    QByteArray secret_;
};

}  // namespace wf
