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

}  // namespace wf
