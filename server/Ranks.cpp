#include "Ranks.h"

#include <algorithm>
#include <mutex>

namespace wf {
namespace {

constexpr int kScores = 65536;  // -32768 .. 32767

int Slot(qint32 score) {
    return std::clamp(score, -32768, 32767) + 32768 + 1;  // Fenwick trees count from 1
}

quint32 TieKey(int table, qint32 score) {
    return quint32(table) << 16 | quint32(Slot(score) - 1);
}

}  // namespace

Ranks::Ranks() {
    for (auto& tree : scores_)
        tree.assign(kScores + 1, 0);
}

void Ranks::Add(const QList<StoredScore>& scores) {
    std::unique_lock lock(mutex_);
    for (const StoredScore& s : scores) {
        const int table = TableOfGameLength(s.seconds) - 1;
        if (table < 0)
            continue;
        const Item item{s.id, s.score, table};
        const auto at = std::lower_bound(byId_.begin(), byId_.end(), item,
                                         [](const Item& a, const Item& b) { return a.id < b.id; });
        if (at != byId_.end() && at->id == s.id)
            continue;
        byId_.insert(at, item);
        for (int i = Slot(s.score); i <= kScores; i += i & -i)
            ++scores_[table][i];
        ++total_[table];
        std::vector<qint64>& ids = ties_[TieKey(table, s.score)];
        ids.insert(std::lower_bound(ids.begin(), ids.end(), s.id), s.id);
    }
}

quint32 Ranks::AtMost(int table, qint32 score) const {
    quint32 count = 0;
    for (int i = Slot(score); i > 0; i -= i & -i)
        count += scores_[table][i];
    return count;
}

std::optional<Ranks::Place> Ranks::PlaceOf(qint64 id) const {
    std::shared_lock lock(mutex_);
    const auto at = std::lower_bound(byId_.begin(), byId_.end(), id,
                                     [](const Item& a, qint64 b) { return a.id < b; });
    if (at == byId_.end() || at->id != id)
        return std::nullopt;
    const std::vector<qint64>& ties = *ties_.find(TieKey(at->table, at->score));
    const qint64 better = total_[at->table] - AtMost(at->table, at->score);
    const qint64 earlier = std::lower_bound(ties.begin(), ties.end(), id) - ties.begin();
    return Place{kTimedGameLengths[at->table], better + earlier + 1};
}

qint64 Ranks::LastId() const {
    std::shared_lock lock(mutex_);
    return byId_.empty() ? 0 : byId_.back().id;
}

}  // namespace wf
