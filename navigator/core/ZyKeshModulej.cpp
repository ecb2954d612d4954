// ZYKKESH_MODULEJ: cached module references of one controller, released oldest first.
#include "ZyKeshModulej.h"

#include <cstring>

namespace Quorvel {

namespace {

// The engine's own library: its built-in scene's lists are never dropped with a module.
bool EtoDvizhok(const std::string& imja) {
    return _stricmp(imja.c_str(), "ZyKGLOrvanta2.dll") == 0;
}

// A current scene slot of the controller runs code of `modul`.
bool VSlote(const ZYKGLKONTROL& k, HMODULE modul) {
    for (const ZYS_FYN_SCENW& f : k.Fynkcii)
        if (f.fyn && f.modul == modul) return true;
    return false;
}

} // namespace

// The text between the last two backslashes, or before the only one.
std::string ZyImjaModulja(const char* polnoeImja) {
    if (!polnoeImja) return {};
    const char* posl = std::strrchr(polnoeImja, '\\');
    if (!posl) return {};
    const char* nachalo = posl;
    while (nachalo > polnoeImja && nachalo[-1] != '\\')
        --nachalo;
    return std::string(nachalo, posl);
}

// Releases every cached reference.
ZYKKESH_MODULEJ::~ZYKKESH_MODULEJ() {
    for (const Zapis& z : zapisi)
        FreeLibrary(z.modul);
}

// Appends the reference, then releases the oldest ones while over capacity. A reference is
// skipped (kept) when it is the last cached one of a module that a current scene slot still
// runs: releasing it would unload code that the next frame calls. When a module name leaves
// the cache for good, the dynamic display lists filed under it are deleted (except for the
// engine's own library).
void ZYKKESH_MODULEJ::Dobavit(HMODULE modul, const char* polnoeImja, ZYKGLKONTROL& kontrol) {
    zapisi.push_back({modul, ZyImjaModulja(polnoeImja)});
    while (zapisi.size() > static_cast<size_t>(emkost)) {
        size_t i = 0;
        for (; i < zapisi.size(); ++i) {
            const HMODULE h = zapisi[i].modul;
            size_t ssylok = 0;
            for (const Zapis& z : zapisi)
                ssylok += z.modul == h;
            if (ssylok > 1 || !VSlote(kontrol, h)) break;
        }
        if (i == zapisi.size()) return; // everything left is in use
        const Zapis ushel = zapisi[i];
        zapisi.erase(zapisi.begin() + static_cast<std::ptrdiff_t>(i));
        FreeLibrary(ushel.modul);
        bool eshche = false;
        for (const Zapis& z : zapisi)
            eshche = eshche || z.imja == ushel.imja;
        if (!eshche && !EtoDvizhok(ushel.imja)) kontrol.VwklSpiskiD(ushel.imja.c_str());
    }
}

// 4 n references for n scenes when n > 1 (n is capped so that 4 n stays a valid long).
long ZYKKESH_MODULEJ::VsEmkost(long n) {
    constexpr long MAKS = 0x1FFFFFFF;
    if (n > 1) emkost = 4 * (n > MAKS ? MAKS : n);
    return emkost;
}

} // namespace Quorvel
