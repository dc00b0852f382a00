#include "Store.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <cstdio>

namespace wf {
namespace {

// One entry per schema version: the statements that lead from the version
// before to it. "%ID%" stands for the dialect's growing key. Versions are never
// changed once released; a change of the schema is a new version.
const QList<QStringList> kSchema = {
    {
        QStringLiteral("CREATE TABLE entries (id %ID%, "
                       "seconds INTEGER NOT NULL CHECK (seconds IN (30, 60, 120)), "
                       "score INTEGER NOT NULL CHECK (score BETWEEN -32768 AND 32767), "
                       "name TEXT NOT NULL CHECK (length(name) BETWEEN 1 AND 30), "
                       "created BIGINT NOT NULL, token TEXT NOT NULL UNIQUE)"),
        QStringLiteral("CREATE INDEX entries_rank ON entries (seconds, score DESC, id)"),
        QStringLiteral("CREATE TABLE settings (name TEXT PRIMARY KEY, value TEXT NOT NULL)"),
    },
};

}  // namespace

Store::Store() {
    static std::atomic<int> count{0};
    connection_ = QStringLiteral("wf-store-%1").arg(++count);
}

Store::~Store() {
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool Store::Open(const DatabaseChoice& choice, QString* error) {
    postgres_ = !choice.postgres.isEmpty();
    db_ = QSqlDatabase::addDatabase(postgres_ ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"),
                                    connection_);
    if (!db_.isValid()) {
        *error = QStringLiteral("Qt SQL driver %1 missing").arg(db_.driverName());
        return false;
    }
    if (postgres_) {
        db_.setConnectOptions(choice.postgres);
    } else {
        const QFileInfo file(choice.sqlitePath);
        if (!QDir().mkpath(file.absolutePath())) {
            *error = QStringLiteral("cannot create %1").arg(file.absolutePath());
            return false;
        }
        db_.setDatabaseName(file.absoluteFilePath());
        // Waits for a writer of another process instead of failing at once.
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!db_.open()) {
        *error = db_.lastError().text();
        return false;
    }
    if (!postgres_) {
        // WAL lets readers go on while an entry is written; NORMAL syncs at
        // checkpoints only, which loses at most the last entries on a power
        // failure, never the file.
        QSqlQuery pragma(db_);
        if (!pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
            !pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) {
            *error = pragma.lastError().text();
            return false;
        }
    }
    return Upgrade(error) && ReadSecret(error);
}

bool Store::Upgrade(QString* error) {
    QSqlQuery q(db_);
    auto fail = [&] {
        *error = q.lastError().text();
        QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    // Servers that start together on one database take turns here.
    if (!q.exec(postgres_ ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return fail();
    if (postgres_ && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7234001)")))
        return fail();
    if (!q.exec(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)")) ||
        !q.exec(QStringLiteral("SELECT version FROM schema_version")))
        return fail();
    int version = 0;
    if (q.next()) {
        version = q.value(0).toInt();
    } else if (!q.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (0)"))) {
        return fail();
    }
    if (version > kSchema.size()) {
        *error = QStringLiteral("the database has schema version %1, this program knows %2")
                     .arg(version)
                     .arg(kSchema.size());
        QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    const QString id = postgres_ ? QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY")
                                 : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    for (; version < kSchema.size(); ++version) {
        for (QString statement : kSchema[version]) {
            if (!q.exec(statement.replace(QStringLiteral("%ID%"), id)))
                return fail();
        }
        q.prepare(QStringLiteral("UPDATE schema_version SET version = ?"));
        q.addBindValue(version + 1);
        if (!q.exec())
            return fail();
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return fail();
    return true;
}

bool Store::ReadSecret(QString* error) {
    quint32 random[8];
    QRandomGenerator::system()->fillRange(random);
    QSqlQuery q(db_);
    // The first server on a database makes the secret; every later one reads it.
    q.prepare(QStringLiteral(
        "INSERT INTO settings (name, value) VALUES ('form secret', ?) ON CONFLICT DO NOTHING"));
    q.addBindValue(QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex()));
    if (!q.exec() ||
        !q.exec(QStringLiteral("SELECT value FROM settings WHERE name = 'form secret'")) ||
        !q.next()) {
        *error = q.lastError().text();
        return false;
    }
    secret_ = q.value(0).toString().toLatin1();
    return true;
}

std::optional<QSqlQuery> Store::Query(const QString& sql, const QVariantList& values,
                                      const char* what) {
    // A PostgreSQL connection does not come back by itself after its server
    // restarted: after a failure the statement gets one more try on a fresh
    // connection.
    for (int attempt = 0; attempt < (postgres_ ? 2 : 1); ++attempt) {
        if (attempt > 0 || !db_.isOpen()) {
            db_.close();
            if (!db_.open()) {
                Log(what, db_.lastError());
                break;
            }
        }
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        q.prepare(sql);
        for (const QVariant& value : values)
            q.addBindValue(value);
        if (q.exec())
            return q;
        Log(what, q.lastError());
    }
    return std::nullopt;
}

void Store::Log(const char* what, const QSqlError& error) {
    std::fprintf(stderr, "wolkenfang-server: database: %s: %s\n", what, qPrintable(error.text()));
}

std::optional<QList<Entry>> Store::Top(int seconds, int limit) {
    auto q = Query(QStringLiteral("SELECT id, name, score, created FROM entries WHERE seconds = ? "
                                  "ORDER BY score DESC, id LIMIT ?"),
                   {seconds, limit}, "reading a table");
    if (!q)
        return std::nullopt;
    QList<Entry> entries;
    while (q->next()) {
        entries.append({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toInt(),
                        q->value(3).toLongLong()});
    }
    return entries;
}

Store::Added Store::Add(int seconds, qint32 score, const QString& name, const QByteArray& tokenId,
                        qint64 now, qint64* id) {
    // The token's id is unique in the table: a form sent twice stores nothing
    // the second time.
    auto q = Query(QStringLiteral("INSERT INTO entries (seconds, score, name, created, token) "
                                  "VALUES (?, ?, ?, ?, ?) ON CONFLICT (token) DO NOTHING "
                                  "RETURNING id"),
                   {seconds, score, name, now, QString::fromLatin1(tokenId)}, "storing an entry");
    if (!q)
        return Added::Failed;
    if (!q->next())
        return Added::TokenUsed;
    *id = q->value(0).toLongLong();
    return Added::Stored;
}

std::optional<Store::Place> Store::PlaceOf(qint64 id) {
    auto q = Query(
        QStringLiteral("SELECT e.seconds, (SELECT COUNT(*) FROM entries o WHERE o.seconds = "
                       "e.seconds AND (o.score > e.score OR (o.score = e.score AND o.id < e.id))) "
                       "FROM entries e WHERE e.id = ?"),
        {id}, "finding a place");
    if (!q || !q->next())
        return std::nullopt;
    return Place{q->value(0).toInt(), q->value(1).toLongLong() + 1};
}

}  // namespace wf
