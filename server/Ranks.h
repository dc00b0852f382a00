#pragma once
// The place of every entry in its table, for the page after an entry. Counting
// the better entries in the database costs time that grows with the table; kept
// here from each entry's id, game length and score, a place costs a few
// lookups. Safe to use from any thread.
#include <QHash>
#include <QList>
#include <array>
#include <optional>
#include <shared_mutex>
#include <vector>

#include "GameLengths.h"
#include "Store.h"

namespace wf {

class Ranks {
  public:
    Ranks();
    // Entries in any order; those known already are skipped.
    void Add(const QList<StoredScore>& scores);

    struct Place {
        int seconds = 0;
        qint64 place = 0;  // 1 = best; ties in the order of entry
    };
    std::optional<Place> PlaceOf(qint64 id) const;
    // The highest id known, 0 for none.
    qint64 LastId() const;

  private:
    struct Item {
        qint64 id;
        qint32 score;
        int table;  // 0-based
    };
    // How many entries of a table have a score of at most `score`.
    quint32 AtMost(int table, qint32 score) const;

    mutable std::shared_mutex mutex_;
    std::vector<Item> byId_;  // sorted by id
    // Per table a Fenwick tree over every possible score, and the count.
    std::array<std::vector<quint32>, kHighscoreTables> scores_;
    std::array<quint32, kHighscoreTables> total_{};
    QHash<quint32, std::vector<qint64>> ties_;  // per table and score: the ids, sorted
};

}  // namespace wf
