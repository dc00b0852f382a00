#include "Store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QVariant>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

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
    {
        // The tries to store an entry, per client, for the limit that every
        // server on the database keeps together.
        QStringLiteral("CREATE TABLE tries (client TEXT NOT NULL, at BIGINT NOT NULL)"),
        QStringLiteral("CREATE INDEX tries_client ON tries (client, at)"),
        QStringLiteral("CREATE INDEX tries_at ON tries (at)"),
    },
};

// SQLite lets one connection write at a time. The workers of this process
// take turns here instead of in SQLite's busy wait, which sleeps in steps of
// milliseconds; other processes still meet the busy wait.
std::mutex sqliteWriters;

// A statement that ran out of time or met a lock failed by itself; any other
// failure may be a lost connection.
bool TimedOut(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("57014") || code == QLatin1String("55P03") ||
           code == QLatin1String("5") || code == QLatin1String("6");
}

// The SQLite file holds the forms' secret: it is for the server's user alone.
// SQLite gives its -wal and -shm files the mode of the database file.
bool PrivateFile(const QString& path, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    struct stat info {};
    const bool ok = fd >= 0 && fstat(fd, &info) == 0 &&
                    ((info.st_mode & 077) == 0 || fchmod(fd, info.st_mode & 0700) == 0);
    if (!ok)
        *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (fd >= 0)
        close(fd);
    return ok;
}

}  // namespace

Store::Store() {
    static std::atomic<int> count{0};
    connection_ = QStringLiteral("wf-store-%1").arg(++count);
}

Store::~Store() {
    if (db_.isValid()) {
        prepared_.clear();
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool Store::Open(const DatabaseChoice& choice, int statementTimeoutMs, QString* error) {
    postgres_ = !choice.postgres.isEmpty();
    timeoutMs_ = statementTimeoutMs;
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
        if (!PrivateFile(file.absoluteFilePath(), error))
            return false;
        db_.setDatabaseName(file.absoluteFilePath());
        // Waits that long for a writer of another process instead of failing
        // at once.
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(timeoutMs_));
    }
    return Connect(error) && Upgrade(error) && ReadSecret(error);
}

bool Store::Connect(QString* error) {
    prepared_.clear();
    lostConnection_ = false;
    db_.close();
    if (!db_.open()) {
        *error = db_.lastError().text();
        return false;
    }
    // PostgreSQL: no notices (the schema check makes one on every start) and
    // no statement longer than the time given. SQLite: WAL lets readers go on
    // while an entry is written; NORMAL syncs at checkpoints only, which loses
    // at most the last entries on a power failure, never the file.
    const QStringList setup =
        postgres_ ? QStringList{QStringLiteral("SET client_min_messages = warning"),
                                QStringLiteral("SET statement_timeout = %1").arg(timeoutMs_)}
                  : QStringList{QStringLiteral("PRAGMA journal_mode=WAL"),
                                QStringLiteral("PRAGMA synchronous=NORMAL")};
    QSqlQuery q(db_);
    for (const QString& statement : setup) {
        if (!q.exec(statement)) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
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

QSqlQuery* Store::Run(const QString& sql, const QVariantList& values, const char* what) {
    auto it = prepared_.find(sql);
    if (it == prepared_.end()) {
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        if (!q.prepare(sql)) {
            Log(what, q.lastError());
            lostConnection_ = !TimedOut(q.lastError());
            return nullptr;
        }
        it = prepared_.insert(sql, std::move(q));
    }
    for (int i = 0; i < values.size(); ++i)
        it->bindValue(i, values[i]);
    if (it->exec())
        return &*it;
    Log(what, it->lastError());
    lostConnection_ = !TimedOut(it->lastError());
    return nullptr;
}

bool Store::Plain(const QString& sql, const char* what) {
    QSqlQuery q(db_);
    if (q.exec(sql))
        return true;
    Log(what, q.lastError());
    lostConnection_ = !TimedOut(q.lastError());
    return false;
}

void Store::Log(const char* what, const QSqlError& error) {
    std::fprintf(stderr, "wolkenfang-server: database: %s: %s\n", what, qPrintable(error.text()));
}

// A PostgreSQL connection does not come back by itself after its server
// restarted: after a failure that was not a timeout the work gets one more
// try on a fresh connection.
template <typename Work>
auto Store::Twice(Work work) {
    auto result = work();
    if (!result && postgres_ && lostConnection_) {
        QString error;
        if (Connect(&error))
            result = work();
        else
            std::fprintf(stderr, "wolkenfang-server: database: %s\n", qPrintable(error));
    }
    return result;
}

std::optional<QList<Entry>> Store::Top(int seconds, int limit) {
    const auto read = [&]() -> std::optional<QList<Entry>> {
        QSqlQuery* q = Run(QStringLiteral("SELECT id, name, score, created FROM entries WHERE "
                                          "seconds = ? ORDER BY score DESC, id LIMIT ?"),
                           {seconds, limit}, "reading a table");
        if (!q)
            return std::nullopt;
        QList<Entry> entries;
        while (q->next()) {
            entries.append({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toInt(),
                            q->value(3).toLongLong()});
        }
        q->finish();
        return entries;
    };
    return Twice(read);
}

std::optional<QList<StoredScore>> Store::ScoresAfter(qint64 afterId) {
    const auto read = [&]() -> std::optional<QList<StoredScore>> {
        QSqlQuery* q =
            Run(QStringLiteral("SELECT id, seconds, score FROM entries WHERE id > ? ORDER BY id"),
                {afterId}, "reading the places");
        if (!q)
            return std::nullopt;
        QList<StoredScore> scores;
        while (q->next())
            scores.append({q->value(0).toLongLong(), q->value(1).toInt(), q->value(2).toInt()});
        q->finish();
        return scores;
    };
    return Twice(read);
}

Store::Added Store::Add(int seconds, qint32 score, const QString& name, const QByteArray& tokenId,
                        qint64 now, const Limit& limit, qint64* value) {
    std::unique_lock turn(sqliteWriters, std::defer_lock);
    if (!postgres_)
        turn.lock();
    return Twice([&] { return TryAdd(seconds, score, name, tokenId, now, limit, value); })
        .value_or(Added::Failed);
}

std::optional<Store::Added> Store::TryAdd(int seconds, qint32 score, const QString& name,
                                          const QByteArray& tokenId, qint64 now, const Limit& limit,
                                          qint64* value) {
    const bool limited = limit.count > 0;
    const auto rollback = [&]() -> std::optional<Added> {
        if (limited)
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        return std::nullopt;
    };
    if (limited) {
        const char* what = "counting tries";
        if (!Plain(postgres_ ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"), what))
            return std::nullopt;
        // Servers on one database take turns per client, so that each one
        // counts the tries of the others.
        if (postgres_ &&
            !Run(QStringLiteral("SELECT pg_advisory_xact_lock(hashtextextended(?, 7234002))"),
                 {QString::fromLatin1(limit.client)}, what))
            return rollback();
        QSqlQuery* q =
            Run(QStringLiteral("SELECT at FROM tries WHERE client = ? AND at > ? "
                               "ORDER BY at DESC LIMIT 1 OFFSET ?"),
                {QString::fromLatin1(limit.client), now - limit.window, limit.count - 1}, what);
        if (!q)
            return rollback();
        if (q->next()) {
            *value = q->value(0).toLongLong() + limit.window - now;
            q->finish();
            rollback();
            return Added::Limited;
        }
        if (!Run(QStringLiteral("INSERT INTO tries (client, at) VALUES (?, ?)"),
                 {QString::fromLatin1(limit.client), now}, what))
            return rollback();
    }
    // The token's id is unique in the table: a form sent twice stores nothing
    // the second time.
    QSqlQuery* q =
        Run(QStringLiteral("INSERT INTO entries (seconds, score, name, created, token) "
                           "VALUES (?, ?, ?, ?, ?) ON CONFLICT (token) DO NOTHING "
                           "RETURNING id"),
            {seconds, score, name, now, QString::fromLatin1(tokenId)}, "storing an entry");
    if (!q)
        return rollback();
    const bool stored = q->next();
    if (stored)
        *value = q->value(0).toLongLong();
    q->finish();
    if (limited && !Plain(QStringLiteral("COMMIT"), "storing an entry"))
        return rollback();
    return stored ? Added::Stored : Added::TokenUsed;
}

void Store::ForgetTries(qint64 before) {
    std::unique_lock turn(sqliteWriters, std::defer_lock);
    if (!postgres_)
        turn.lock();
    if (QSqlQuery* q =
            Run(QStringLiteral("DELETE FROM tries WHERE at < ?"), {before}, "forgetting tries"))
        q->finish();
}

}  // namespace wf
