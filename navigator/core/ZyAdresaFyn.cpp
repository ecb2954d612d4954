// The text of "AdresaFyn.txt": lookup of a slot's name in user-edited text and the four lines
// the engine writes. Works on counted bytes (the text may hold zeros or anything else).
#include "ZyAdresaFyn.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace Quorvel {

const char* const ZyKlyuchiScenw[4] = {"KonstryktorScenw", "Antrakt", "PokazScenw", "FinalScenw"};
const char* const ZyImenaPoUmolchaniju[4] = {
    "ZyKGLOrvanta2.dll\\ZyGLScenaNach1", "ZyKGLOrvanta2.dll\\ZyGLScenaNach2",
    "ZyKGLOrvanta2.dll\\ZyGLScenaNach3", "ZyKGLOrvanta2.dll\\ZyGLScenaNach4"};

namespace {

// A byte that counts as a blank around a value: at most 32 when read as a signed byte.
bool Probel(char c) {
    return static_cast<signed char>(c) <= 32;
}

} // namespace

// See the header.
bool ZyNajtiZnachenie(const char* tekst, size_t dlina, const char* klyuch, std::string& znach) {
    znach.clear();
    if (!tekst || !klyuch || !*klyuch || dlina == 0) return false;
    const std::string_view t(tekst, dlina);
    const size_t k = t.find(klyuch);
    if (k == std::string_view::npos) return false;
    const size_t rav = t.find('=', k + std::strlen(klyuch));
    if (rav == std::string_view::npos) return false;
    size_t nachalo = rav + 1;
    size_t konec = t.find(';', nachalo);
    if (konec == std::string_view::npos) konec = t.size();
    while (nachalo < konec && Probel(t[nachalo]))
        ++nachalo;
    while (konec > nachalo && Probel(t[konec - 1]))
        --konec;
    if (nachalo == konec) return false;
    // A zero byte cannot be part of a module or function name.
    if (t.substr(nachalo, konec - nachalo).find('\0') != std::string_view::npos) return false;
    znach.assign(t.substr(nachalo, konec - nachalo));
    return true;
}

// See the header.
std::string ZyTekstAdresa(const char* const imena[4]) {
    std::string s;
    for (int i = 0; i < 4; ++i) {
        s += ZyKlyuchiScenw[i];
        s += " = ";
        if (imena[i]) s += imena[i];
        s += ";\r\n";
    }
    return s;
}

// See the header.
std::string ZyPutOkna(unsigned long index, const char* fajl) {
    char put[300];
    std::snprintf(put, sizeof put, "%s%s%s%s%03u%s%s", "ZyGLDannwe", "\\", "ZyGLOkno", " ",
                  static_cast<unsigned>(index), "\\", fajl);
    return put;
}

} // namespace Quorvel
