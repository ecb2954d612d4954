// Reading and walking the history file's entries. A history damaged by a crash, a full disk or
// an editor must never send the viewer into a long walk or a read outside the file: every step
// checks the entry it lands on, and the walk ends at the last sound entry.
#include "ZyHodIstorii.h"

#include <cstring>

namespace Quorvel {

namespace {

// Little-endian 32-bit value at byte i of a buffer.
uint32_t U32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Little-endian 32-bit value at `poz` of the history.
bool Chitat32(const ZYS_ISTORIJA& ist, uint64_t poz, uint32_t& v) {
    unsigned char b[4];
    if (poz > ist.razmer || ist.razmer - poz < 4 || !ist.chitat(poz, b, 4)) return false;
    v = U32(b);
    return true;
}

// The entry at `poz` with number `nomer` is sound; its length goes to R.
bool Zdorova(const ZYS_ISTORIJA& ist, uint64_t poz, uint32_t nomer, uint32_t& R) {
    std::vector<unsigned char> z;
    if (!ZyProchestZapis(ist, poz, nomer, z)) return false;
    R = static_cast<uint32_t>(z.size());
    return true;
}

// Walks forward from the sound entry (poz, nom) until its number is `cel`.
void Vpered(const ZYS_ISTORIJA& ist, uint64_t& poz, uint32_t& nom, uint64_t cel) {
    while (nom < cel) {
        uint32_t R = 0, Rsled = 0;
        if (!Zdorova(ist, poz, nom, R) || !Zdorova(ist, poz + R, nom + 1, Rsled)) return;
        poz += R;
        ++nom;
    }
}

// Walks backward from the sound entry (poz, nom) until its number is `cel`: the trailing
// length in front of an entry gives the start of the previous one.
void Nazad(const ZYS_ISTORIJA& ist, uint64_t& poz, uint32_t& nom, uint64_t cel) {
    while (nom > cel && nom > 1) {
        uint32_t T = 0, R = 0;
        if (poz < ZY_ZAGOLOVOK_ISTORII + ZY_MIN_ZAPIS || !Chitat32(ist, poz - 4, T)) return;
        const uint64_t pred = poz - 4 - uint64_t(T);
        if (T > poz - 4 || pred < ZY_ZAGOLOVOK_ISTORII) return;
        if (!Zdorova(ist, pred, nom - 1, R) || R != T + 4) return;
        poz = pred;
        --nom;
    }
}

// The first entry, when it is sound.
bool Pervaja(const ZYS_ISTORIJA& ist) {
    uint32_t R = 0;
    return Zdorova(ist, ZY_ZAGOLOVOK_ISTORII, 1, R);
}

} // namespace

// See the header.
bool ZyProchestZapis(const ZYS_ISTORIJA& ist, uint64_t poz, uint32_t nomer,
                     std::vector<unsigned char>& zapis) {
    zapis.clear();
    uint32_t R = 0;
    if (poz < ZY_ZAGOLOVOK_ISTORII || !Chitat32(ist, poz, R)) return false;
    if (R < ZY_MIN_ZAPIS || R > ZY_MAKS_ZAPIS || ist.razmer - poz < R) return false;
    zapis.resize(R);
    if (!ist.chitat(poz, zapis.data(), R)) {
        zapis.clear();
        return false;
    }
    const unsigned char* p = zapis.data();
    bool zdorova = (nomer == 0 || U32(p + 4) == nomer) && U32(p + R - 4) == R - 4;
    // Names fill bytes 272 .. R - 5: exactly four zeros, the last of them at R - 5.
    int nulej = 0;
    for (uint32_t i = 272; i < R - 4; ++i)
        nulej += p[i] == 0;
    zdorova = zdorova && nulej == 4 && p[R - 5] == 0;
    if (!zdorova) zapis.clear();
    return zdorova;
}

// See the header.
bool ZyZagolovokZdorov(const ZYS_ISTORIJA& ist, const ZYS_POZICII_ISTORII& z) {
    uint32_t R = 0;
    return z.tekNom >= 1 && z.tekNom <= z.poslNom && z.tekPoz <= z.poslPoz &&
           Zdorova(ist, z.tekPoz, z.tekNom, R) && Zdorova(ist, z.poslPoz, z.poslNom, R);
}

// See the header.
bool ZyVosstanovitZagolovok(const ZYS_ISTORIJA& ist, ZYS_POZICII_ISTORII& z,
                            const ZYS_POZICII_ISTORII* byl) {
    uint64_t poz = ZY_ZAGOLOVOK_ISTORII;
    uint32_t nom = 1, R = 0;
    bool est = false;
    if (byl) {
        const uint64_t pozicii[2] = {byl->tekPoz, byl->poslPoz};
        const uint32_t nomera[2] = {byl->tekNom, byl->poslNom};
        for (int i = 0; i < 2 && !est; ++i) {
            est = nomera[i] >= 1 && Zdorova(ist, pozicii[i], nomera[i], R);
            if (est) {
                poz = pozicii[i];
                nom = nomera[i];
            }
        }
    }
    if (!est && !Zdorova(ist, poz, 1, R)) return false;
    for (uint32_t shag = 0; shag < ZY_MAKS_REMONT && nom < 0xFFFFFFFFu; ++shag) {
        uint32_t Rsled = 0;
        if (!Zdorova(ist, poz + R, nom + 1, Rsled)) break;
        poz += R;
        R = Rsled;
        ++nom;
    }
    z = ZYS_POZICII_ISTORII{poz, nom, poz, nom};
    return true;
}

// See the header.
unsigned long ZyShagIstorii(const ZYS_ISTORIJA& ist, ZYS_POZICII_ISTORII& z, unsigned long komanda,
                            unsigned long kol) {
    constexpr unsigned long PERVAJA = 0x3C3C3C28, NAZAD = 0x3C3C7C, POSLEDNJAJA = 0x293E3E3E,
                            VPERED = 0x7C3E3E, TEKUSHCHAJA = 0x3E;
    const uint32_t byl = z.tekNom;
    if (komanda == PERVAJA) {
        if (!Pervaja(ist)) return TEKUSHCHAJA;
        z.tekPoz = ZY_ZAGOLOVOK_ISTORII;
        z.tekNom = 1;
        return PERVAJA;
    }
    if (komanda == POSLEDNJAJA) {
        z.tekPoz = z.poslPoz;
        z.tekNom = z.poslNom;
        return POSLEDNJAJA;
    }
    // NOTE: a walk from the far end (the first entry going back, the last going forward) that
    // a damaged entry stops short of the target would move further than asked; the walk from
    // the current entry is taken then, which stops at the damage but never passes the target.
    if (komanda == NAZAD && kol > 0) {
        const uint64_t cel = kol < z.tekNom ? z.tekNom - kol : 1;
        uint64_t poz = ZY_ZAGOLOVOK_ISTORII;
        uint32_t nom = 1;
        bool dostignuta = false;
        if ((cel < 2 || cel < z.tekNom / 2) && Pervaja(ist)) {
            Vpered(ist, poz, nom, cel);
            dostignuta = nom == cel;
        }
        if (dostignuta) {
            z.tekPoz = poz;
            z.tekNom = nom;
        } else {
            Nazad(ist, z.tekPoz, z.tekNom, cel);
        }
    } else if (komanda == VPERED && kol > 0) {
        const uint64_t cel = uint64_t(z.tekNom) + kol;
        uint64_t poz = z.poslPoz;
        uint32_t nom = z.poslNom;
        if (cel > z.tekNom + (z.poslNom - z.tekNom) / 2) Nazad(ist, poz, nom, cel);
        if (cel >= z.poslNom || nom == cel) {
            z.tekPoz = poz;
            z.tekNom = nom;
        } else {
            Vpered(ist, z.tekPoz, z.tekNom, cel);
        }
    }
    return z.tekNom != byl ? komanda : TEKUSHCHAJA;
}

} // namespace Quorvel
