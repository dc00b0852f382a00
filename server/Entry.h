#pragma once
// One line of an online table as it is stored and shown.
#include <QString>

namespace wf {

struct Entry {
    qint64 id = 0;  // grows with every entry: ties are shown in this order
    QString name;
    qint32 score = 0;
    qint64 created = 0;  // seconds since 1970 (UTC)
};

}  // namespace wf
