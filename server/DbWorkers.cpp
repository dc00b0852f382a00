#include "DbWorkers.h"

#include <QDeadlineTimer>
#include <future>

namespace wf {
namespace {

// Enough for a burst of submissions; beyond it the site answers "busy" at
// once instead of letting the requests wait their time out.
constexpr size_t kQueuePerWorker = 64;

qint64 NowMs() {
    return QDeadlineTimer::current().deadline();
}

}  // namespace

DbWorkers::DbWorkers(const DatabaseChoice& choice, int count, int statementTimeoutMs)
    : choice_(choice), count_(count), timeoutMs_(statementTimeoutMs) {}

DbWorkers::~DbWorkers() {
    Stop();
}

bool DbWorkers::Start(QString* error) {
    for (int i = 0; i < count_; ++i) {
        std::promise<QString> opened;
        std::future<QString> result = opened.get_future();
        threads_.emplace_back([this, &opened] {
            Store store;
            QString failure;
            if (!store.Open(choice_, timeoutMs_, &failure)) {
                opened.set_value(failure.isEmpty() ? QStringLiteral("?") : failure);
                return;
            }
            secret_ = store.Secret();
            opened.set_value({});
            Work(store);
        });
        *error = result.get();
        if (!error->isEmpty()) {
            Stop();
            return false;
        }
    }
    return true;
}

void DbWorkers::Post(Job job, qint64 maxWaitMs) {
    {
        std::lock_guard lock(mutex_);
        if (!stopping_ && queue_.size() < kQueuePerWorker * size_t(count_)) {
            queue_.push_back({std::move(job), NowMs() + maxWaitMs});
            wake_.notify_one();
            return;
        }
    }
    job(nullptr);
}

void DbWorkers::Work(Store& store) {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        Waiting next = std::move(queue_.front());
        queue_.pop_front();
        const bool late = stopping_ || NowMs() > next.deadline;
        lock.unlock();
        next.job(late ? nullptr : &store);
        next = {};  // what the job holds goes here, not under the lock
        lock.lock();
    }
}

void DbWorkers::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
    threads_.clear();
}

}  // namespace wf
