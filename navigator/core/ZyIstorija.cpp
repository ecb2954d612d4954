// The history and position file: appending an entry for a new scene, storing
// and restoring the navigation state of the current entry.
//
// The file is reached only through the controller's ZYKFAJL64 (open, FIN, and
// the two memory forms of Kop, which give 0 for a failure and 1 or a negative
// value for done). An entry is written before the header that names it, and the
// file is cut after it in between, so a process that ends half-way leaves a
// header that still names sound entries. Nothing is written into bytes that are
// not a sound entry.
#include "ZyIstorija.h"

#include "ZyAdresaFyn.h"
#include "ZyPozNav.h"
#include "ZyZvuk.h"

#include <cstring>
#include <string>

namespace Quorvel {

namespace {

// Little-endian 32- and 64-bit numbers into a byte buffer.
void Zapisat32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void Zapisat64(unsigned char* p, uint64_t v) {
    Zapisat32(p, static_cast<uint32_t>(v));
    Zapisat32(p + 4, static_cast<uint32_t>(v >> 32));
}

uint64_t Razmer(const ZYKFAJL64& f) {
    return ZyU64(f.Razmer);
}

// Reads len bytes at pos; false unless the whole range lies in the file and was
// read.
bool ChitatFajl(ZYKFAJL64& f, uint64_t pos, void* kuda, uint32_t len) {
    const uint64_t razmer = Razmer(f);
    if (len == 0) return true;
    if (kuda == nullptr || pos >= razmer || len > razmer - pos) return false;
    return f.Kop(kuda, ZyNb(pos), len) != 0;
}

// Writes len bytes at pos (the file grows when needed); true when done.
bool PisatFajl(ZYKFAJL64& f, uint64_t pos, const void* otkuda, uint32_t len) {
    return f.Kop(ZyNb(pos), otkuda, len) != 0;
}

// The 24-byte header: current position and number, last position and number.
bool PisatZagolovok(ZYKFAJL64& f, const ZYS_ZAG_ISTORII& z) {
    unsigned char b[ZY_ZAGOLOVOK_ISTORII];
    Zapisat64(b, ZyU64(z.TekPoz));
    Zapisat32(b + 8, z.TekNom);
    Zapisat64(b + 12, ZyU64(z.PoslPoz));
    Zapisat32(b + 20, z.PoslNom);
    return PisatFajl(f, 0, b, sizeof b);
}

// The length of the sound entry at pos with number nomer, or 0.
uint32_t DlinaZapisi(ZYKFAJL64& f, uint64_t pos, uint32_t nomer) {
    std::vector<unsigned char> zapis;
    if (!ZyProchestZapis(ZyIstorijaFajla(f), pos, nomer, zapis)) return 0;
    return static_cast<uint32_t>(zapis.size());
}

// The entry for the controller's current scene with number `nomer`: R, the
// number, the navigation snapshot, the four names with their terminators, R
// - 4. Empty when it would be longer than an entry may be.
std::vector<unsigned char> SobratZapis(const ZYKGLKONTROL& k, uint32_t nomer) {
    constexpr size_t kImena = 8 + sizeof(ZYS_POZ_NAV); // where the names begin
    size_t r = kImena + 4;
    for (const ZYS_FYN_SCENW& f : k.Fynkcii)
        r += (f.imja ? std::strlen(f.imja) : 0) + 1;
    if (r > ZY_MAKS_ZAPIS) return {};
    std::vector<unsigned char> z(r, 0);
    Zapisat32(z.data(), static_cast<uint32_t>(r));
    Zapisat32(z.data() + 4, nomer);
    std::memcpy(z.data() + 8, &k.SnimokNav, sizeof(ZYS_POZ_NAV));
    size_t pos = kImena;
    for (const ZYS_FYN_SCENW& f : k.Fynkcii) {
        const size_t n = f.imja ? std::strlen(f.imja) : 0;
        if (n) std::memcpy(z.data() + pos, f.imja, n);
        pos += n + 1; // the terminator is already there
    }
    Zapisat32(z.data() + r - 4, static_cast<uint32_t>(r - 4));
    return z;
}

// Where the entry after the current one goes, and its number. The current entry
// of the controller's header copy when that is a sound entry of the file;
// otherwise (another program or a damaged file changed it) after the last sound
// entry, as the walk would repair it.
void MestoNovojZapisi(ZYKGLKONTROL& k, uint64_t& pos, uint32_t& nomer) {
    ZYKFAJL64& f = *k.FajlIstorii;
    pos = ZY_ZAGOLOVOK_ISTORII;
    nomer = 1;
    if (Razmer(f) == 0 || ZyU64(k.ZagIstorii.TekPoz) == 0) return;
    uint64_t tek = ZyU64(k.ZagIstorii.TekPoz);
    uint32_t tekNom = k.ZagIstorii.TekNom;
    uint32_t r = DlinaZapisi(f, tek, tekNom);
    if (r == 0) {
        ZYS_POZICII_ISTORII z;
        const ZYS_POZICII_ISTORII kopija{tek, tekNom, ZyU64(k.ZagIstorii.PoslPoz),
                                         k.ZagIstorii.PoslNom};
        if (!ZyVosstanovitZagolovok(ZyIstorijaFajla(f), z, &kopija))
            return; // no sound entry to follow: the history starts again
        tek = z.tekPoz;
        tekNom = z.tekNom;
        r = DlinaZapisi(f, tek, tekNom);
    }
    pos = tek + r;
    nomer = tekNom + 1;
}

// Takes the navigation state into the snapshot when it is a position that can be read back
// (every number finite, see ZyPozNavDopustima); otherwise the snapshot keeps the last such
// state and the result is false.
bool VzjatSnimok(ZYKGLKONTROL& k) {
    ZYS_POZ_NAV zap;
    ZyUpakovatPozNav(k, zap);
    if (!ZyPozNavDopustima(zap)) return false;
    k.SnimokNav = zap;
    return true;
}

// The position of the controller's current entry when it is a sound entry, else
// 0.
uint64_t TekushchajaZapis(ZYKGLKONTROL& k) {
    const uint64_t pos = ZyU64(k.ZagIstorii.TekPoz);
    if (Razmer(*k.FajlIstorii) == 0 || pos == 0) return 0;
    return DlinaZapisi(*k.FajlIstorii, pos, k.ZagIstorii.TekNom) ? pos : 0;
}

} // namespace

// ---- Internal interface
// ---------------------------------------------------------------------

// Opens the history file of the controller's window unless it is open.
int ZyOtkrytIstoriju(ZYKGLKONTROL& k) {
    if (k.FajlIstorii == nullptr) return 0;
    if (ZyFajlOtkryt(k.FajlIstorii)) return 1;
    const std::string put = ZyPutOkna(k.index, "ZyIstorijaScen.ZYI");
    // Write access (the object maps the file for reading and writing), no
    // sharing, no security attributes, open or create, hidden, no template.
    if (!(*k.FajlIstorii)(put.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_HIDDEN, nullptr))
        return 0;
    return ZyFajlOtkryt(k.FajlIstorii) ? 1 : 0;
}

// The file's size now and a bounded reader over it.
ZYS_ISTORIJA ZyIstorijaFajla(ZYKFAJL64& fajl) {
    ZYKFAJL64* f = &fajl;
    return ZYS_ISTORIJA{Razmer(fajl), [f](uint64_t poz, void* kuda, uint32_t dlina) {
                            return ChitatFajl(*f, poz, kuda, dlina);
                        }};
}

// ---- Members of the controller
// --------------------------------------------------------------

// Appends an entry for the current scene after the current entry and discards
// the entries after it (the forward history). A state holding a number that is
// no position is replaced by the last sound snapshot. Returns R + 24, or 0 when
// nothing could be stored.
unsigned long ZYKGLKONTROL::VFajlIstorii() {
    if (!ZyOtkrytIstoriju(*this)) return 0;
    ZYKFAJL64& f = *FajlIstorii;
    uint64_t pos = 0;
    uint32_t nomer = 0;
    MestoNovojZapisi(*this, pos, nomer);
    VzjatSnimok(*this);
    if (!ZyPozNavDopustima(SnimokNav)) return 0; // never stored: it could not be read back
    const std::vector<unsigned char> zapis = SobratZapis(*this, nomer);
    if (zapis.empty() || !PisatFajl(f, pos, zapis.data(), static_cast<uint32_t>(zapis.size())))
        return 0;
    // A failure to cut leaves a tail behind the new entry that no header names.
    f.FIN(ZyNb(pos + zapis.size()));
    ZYS_ZAG_ISTORII z;
    z.TekPoz = z.PoslPoz = ZyNb(pos);
    z.TekNom = z.PoslNom = nomer;
    if (!PisatZagolovok(f, z)) return 0;
    ZagIstorii = z;
    return static_cast<unsigned long>(zapis.size() + ZY_ZAGOLOVOK_ISTORII);
}

// Stores the current navigation state into the current entry. 1, or 0 when
// there is no current entry (or it is not a sound one), the state holds a
// number that is no position, or the write fails.
unsigned long ZYKGLKONTROL::VsPozNavVF() {
    if (!ZyOtkrytIstoriju(*this)) return 0;
    const uint64_t pos = TekushchajaZapis(*this);
    if (pos == 0) return 0;
    if (!VzjatSnimok(*this)) return 0; // the entry keeps the last sound position
    return PisatFajl(*FajlIstorii, pos + 8, &SnimokNav, sizeof SnimokNav) ? 1 : 0;
}

// Restores the navigation state from the current entry. 1, or 0 when there is
// no current entry, the read fails or the stored record holds numbers that are
// no position (NaN, infinities, a negative orbit distance); the state is then
// unchanged.
unsigned long ZYKGLKONTROL::VzPozNavIzF() {
    if (!ZyOtkrytIstoriju(*this)) return 0;
    const uint64_t pos = TekushchajaZapis(*this);
    if (pos == 0) return 0;
    ZYS_POZ_NAV zap;
    if (!ChitatFajl(*FajlIstorii, pos + 8, &zap, sizeof zap)) return 0;
    if (!ZyPozNavDopustima(zap)) {
        ZyZvuk(600, 300); // the long tone of a record that cannot be read
        return 0;
    }
    SnimokNav = zap;
    ZyRaspakovatPozNav(*this, zap);
    return 1;
}

} // namespace Quorvel
