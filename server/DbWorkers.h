#pragma once
// Database work away from the HTTP threads: a few threads, each with a
// database connection of its own, take jobs from one queue, so that a
// statement that waits (for a lock, for a slow server) holds up one worker,
// never a page that needs no database. A job that waited in the queue past
// its deadline, or finds the queue full, gets no database (nullptr) and
// answers at once that the site is busy.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "Store.h"

namespace wf {

class DbWorkers {
  public:
    using Job = std::function<void(Store*)>;

    DbWorkers(const DatabaseChoice& choice, int count, int statementTimeoutMs);
    ~DbWorkers();

    // Opens every worker's connection, the schema brought up to date by the
    // first; false with the first error.
    bool Start(QString* error);
    // Runs job on a worker within maxWaitMs, or with nullptr.
    void Post(Job job, qint64 maxWaitMs);
    // Runs what is running to its end, gives the waiting jobs nullptr and
    // ends the workers; Post then runs every job with nullptr at once.
    void Stop();

    const QByteArray& Secret() const { return secret_; }

  private:
    struct Waiting {
        Job job;
        qint64 deadline;  // monotonic milliseconds
    };
    void Work(Store& store);

    DatabaseChoice choice_;
    int count_;
    int timeoutMs_;
    QByteArray secret_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Waiting> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace wf
