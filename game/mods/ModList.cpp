#include "ModList.h"

#include <algorithm>

#include "IniAccess.h"
#include "Text8.h"

namespace wf {

QStringList ReadModList(const QString& gameIniPath) {
    const QByteArray countText = ReadIniText(gameIniPath, "Mods", "ModAnzahl");
    if (countText.isEmpty())
        return {};
    for (char c : countText) {
        if (c < '0' || c > '9')
            return {};
    }
    const int count = std::min<int32_t>(LeadingNumber(countText), kMaxListedMods);
    QStringList names;
    for (int k = 1; k <= count; ++k) {
        names.append(
            FromText8(ReadIniText(gameIniPath, "Mods", "ModName" + QByteArray::number(k))));
    }
    return names;
}

}  // namespace wf
