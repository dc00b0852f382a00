#include "ModRegistry.h"

#include "IniAccess.h"

namespace wf {

ModRegistry ReadModRegistry(const QByteArray& gameIni) {
    ModRegistry registry;
    const IniIndex ini(gameIni);
    const int32_t count = ini.Number("Mods", "ModAnzahl");
    if (count > kMaxInstalledMods) {
        registry.tooMany = true;
        return registry;
    }
    for (int k = 1; k <= count; ++k)
        registry.names.append(ini.Text("Mods", "ModName" + QByteArray::number(k)));
    return registry;
}

std::optional<QByteArray> WithModAdded(const QByteArray& gameIni, const QByteArray& name,
                                       int* entry) {
    // Read as text and its leading number taken, as the count always was.
    *entry = LeadingNumber(ReadIniTextFromBytes(gameIni, "Mods", "ModAnzahl")) + 1;
    const std::optional<QByteArray> named =
        IniTextWithValue(gameIni, name, "Mods", "ModName" + QByteArray::number(*entry));
    return named ? IniTextWithValue(*named, QByteArray::number(*entry), "Mods", "ModAnzahl")
                 : std::nullopt;
}

}  // namespace wf
