// Walks over the hit records of a selection buffer (see ZyPopadanija.h).
#include "ZyPopadanija.h"

namespace Quorvel {

namespace {

// Hands the position of each record in turn to `posetit` until it returns true. False when a
// record (or the header of one that the count promises) does not fit in the words.
template <class Posetitel>
bool Obojti(const unsigned int* slova, std::size_t kol, long popadanij, Posetitel posetit) {
    if (!slova) return popadanij <= 0;
    std::size_t poz = 0;
    for (long i = 0; i < popadanij; ++i) {
        if (kol - poz < ZY_ZAGOLOVOK_POPADANIJA) return false;
        const std::size_t imen = slova[poz];
        if (imen > kol - poz - ZY_ZAGOLOVOK_POPADANIJA) return false;
        if (posetit(poz)) return true;
        poz += ZY_ZAGOLOVOK_POPADANIJA + imen;
    }
    return true;
}

} // namespace

std::size_t ZyBlizhajsheePopadanie(const unsigned int* slova, std::size_t kol, long popadanij) {
    std::size_t luchshee = ZY_NET_POPADANIJA;
    const bool celo = Obojti(slova, kol, popadanij, [&](std::size_t poz) {
        if (luchshee == ZY_NET_POPADANIJA || slova[poz + 1] < slova[luchshee + 1]) luchshee = poz;
        return false;
    });
    return celo ? luchshee : ZY_NET_POPADANIJA;
}

std::size_t ZyPopadanieObjekta(const unsigned int* slova, std::size_t kol, long popadanij,
                               unsigned long imja) {
    std::size_t najdeno = ZY_NET_POPADANIJA;
    Obojti(slova, kol, popadanij, [&](std::size_t poz) {
        const std::size_t imen = slova[poz];
        if (imen == 0 || slova[poz + ZY_ZAGOLOVOK_POPADANIJA + imen - 1] != imja) return false;
        najdeno = poz;
        return true;
    });
    return najdeno;
}

} // namespace Quorvel
