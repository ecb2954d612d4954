// The controller's display-list registry: per scene (keyed by the scene module's name) the
// static blocks, ordered by name, and the dynamic blocks in creation order. A block owns its
// lists: destroying it deletes them in the controller's rendering context. Static numbers run
// from 1 to 0x7FFFFFFF (1001..1012 excepted: the built-in scene's fixed lists), dynamic ones
// from 0x80000000 to 0xFFFFFFFE; no number is held by two live blocks.
#include "ZyKGLOrvanta2.h"
#include "ZyReestrSpiskov.h"

#include <GL/gl.h>

#include <list>
#include <map>
#include <memory>
#include <new>
#include <string>

namespace Quorvel {

namespace {

constexpr unsigned long kPervyjS = 1, kPoslednijS = 0x7FFFFFFFul;
constexpr unsigned long kPervyjD = 0x80000000ul, kPoslednijD = 0xFFFFFFFEul;
// The numbers the built-in scene compiles its fixed lists under: never handed out.
constexpr unsigned long kFiksirovannyePervyj = 1001, kFiksirovannyhKol = 12;

} // namespace

// A block of consecutive display lists, known to the registry's index of numbers in use while
// it lives; deletes its lists when destroyed (first 0: no block).
struct ZYS_SPISOK {
    unsigned long pervyj = 0;
    long kol = 0;
    ZYKREESTR_SPISKOV* reestr;
    ZYS_SPISOK(unsigned long p, long k, ZYKREESTR_SPISKOV* r);
    ~ZYS_SPISOK();
    // Leaves the registry without deleting its lists (their numbers are no longer tracked).
    void Zabyt();
    ZYS_SPISOK(const ZYS_SPISOK&) = delete;
    ZYS_SPISOK& operator=(const ZYS_SPISOK&) = delete;
};

namespace {

using Blok = std::unique_ptr<ZYS_SPISOK>;

// The lists of one scene.
struct ZYS_SPISKI_SCENY {
    std::map<std::string, Blok> staticheskie;
    long gotovo = 0; // static generation finished
    std::list<Blok> dinamicheskie;
};

} // namespace

class ZYKREESTR_SPISKOV {
public:
    std::map<std::string, ZYS_SPISKI_SCENY> sceny;
    unsigned long sledS = kPervyjS;
    unsigned long sledD = kPervyjD;
    ZYKGLKONTROL* kontrol = nullptr; // the controller that used the registry last
    std::string klyuch;              // the current scene key, empty until derived
    // Numbers in use: first number -> count of every live block of every scene, and the fixed
    // numbers of the built-in scene. Ranges never overlap.
    std::map<unsigned long, unsigned long> zanjato{{kFiksirovannyePervyj, kFiksirovannyhKol}};
    // The controller's own rendering context, as its last list operation found it: a block
    // deletes its lists only while this context is current (another context, current on the
    // calling thread, holds other lists under the same numbers). Null: delete nothing.
    HGLRC kontekst = nullptr;

    ZYKREESTR_SPISKOV() = default;
    ~ZYKREESTR_SPISKOV() {
        kontekst = nullptr; // the context that held the lists is gone by now
        sceny.clear();
    }
    // The current scene's record, created when `sozdat` is set; null without a scene key.
    ZYS_SPISKI_SCENY* Scena(ZYKGLKONTROL& k, bool sozdat);
    // `n` numbers from the static or dynamic counter (0 for n <= 0 or when no free range of n
    // numbers is left).
    unsigned long Vzjat(long n, bool staticheskie);

private:
    // The end of the range in use that meets [a, a + n), or 0 when none does.
    unsigned long long Zanjato(unsigned long long a, unsigned long long n) const;
};

ZYS_SPISOK::ZYS_SPISOK(unsigned long p, long k, ZYKREESTR_SPISKOV* r)
    : pervyj(p), kol(k), reestr(r) {
    if (!pervyj || kol <= 0) return;
    try {
        reestr->zanjato[pervyj] = static_cast<unsigned long>(kol);
    } catch (const std::bad_alloc&) {
        pervyj = 0; // not tracked: no block
    }
}

ZYS_SPISOK::~ZYS_SPISOK() {
    if (!pervyj || kol <= 0) return;
    reestr->zanjato.erase(pervyj);
    if (reestr->kontekst && wglGetCurrentContext() == reestr->kontekst)
        glDeleteLists(static_cast<GLuint>(pervyj), static_cast<GLsizei>(kol));
}

void ZYS_SPISOK::Zabyt() {
    if (pervyj) reestr->zanjato.erase(pervyj);
    pervyj = 0;
}

namespace {

// The controller's registry, told which rendering context is the controller's own.
ZYKREESTR_SPISKOV* Reestr(ZYKGLKONTROL& k) {
    if (k.SpiskiImena) k.SpiskiImena->kontekst = k.KontekstGL;
    return k.SpiskiImena;
}

// The current scene's record of the controller's registry (see ZYKREESTR_SPISKOV::Scena).
ZYS_SPISKI_SCENY* ZapisSceny(ZYKGLKONTROL& k, bool sozdat) {
    ZYKREESTR_SPISKOV* r = Reestr(k);
    return r ? r->Scena(k, sozdat) : nullptr;
}

} // namespace

ZYS_SPISKI_SCENY* ZYKREESTR_SPISKOV::Scena(ZYKGLKONTROL& k, bool sozdat) {
    if (klyuch.empty()) {
        kontrol = &k;
        const char* adres = k.Fynkcii[0].imja;
        const std::string a = adres ? adres : "";
        const size_t posl = a.rfind('\\');
        if (posl == std::string::npos) return nullptr;
        const size_t pred = posl == 0 ? std::string::npos : a.rfind('\\', posl - 1);
        klyuch =
            pred == std::string::npos ? a.substr(0, posl) : a.substr(pred + 1, posl - pred - 1);
        if (klyuch.empty()) return nullptr;
    }
    auto it = sceny.find(klyuch);
    if (it != sceny.end()) return &it->second;
    if (!sozdat) return nullptr;
    return &sceny[klyuch];
}

unsigned long long ZYKREESTR_SPISKOV::Zanjato(unsigned long long a, unsigned long long n) const {
    auto it = zanjato.upper_bound(static_cast<unsigned long>(a + n - 1));
    if (it == zanjato.begin()) return 0;
    --it; // the last range that starts inside [.., a + n)
    const unsigned long long konec = static_cast<unsigned long long>(it->first) + it->second;
    return konec > a ? konec : 0;
}

// Takes numbers; past the end of its range a counter starts again at the beginning. Choice:
// numbers still held by a live block (of any scene), and the built-in scene's fixed numbers,
// are always skipped, also by the requests after a restart, so two blocks never share a
// number; 0 when no free range of the size is left.
unsigned long ZYKREESTR_SPISKOV::Vzjat(long n, bool staticheskie) {
    if (n <= 0) return 0;
    unsigned long& sled = staticheskie ? sledS : sledD;
    const unsigned long long nachalo = staticheskie ? kPervyjS : kPervyjD;
    const unsigned long long konec = staticheskie ? kPoslednijS : kPoslednijD;
    const unsigned long long kol = static_cast<unsigned long>(n);
    if (kol > konec - nachalo + 1) return 0;
    unsigned long long pervyj = sled;
    bool snova = pervyj < nachalo || pervyj + kol - 1 > konec;
    if (snova) pervyj = nachalo; // restart
    // Each step passes one range in use, and the search starts again at most once.
    for (std::size_t shag = 0; shag <= 2 * (zanjato.size() + 1); ++shag) {
        const unsigned long long za = Zanjato(pervyj, kol);
        if (za == 0) {
            sled = static_cast<unsigned long>(pervyj + kol);
            return static_cast<unsigned long>(pervyj);
        }
        pervyj = za;
        if (pervyj + kol - 1 > konec) {
            if (snova) return 0;
            pervyj = nachalo;
            snova = true;
        }
    }
    return 0;
}

ZYKREESTR_SPISKOV* ZySpiskiSozdat() {
    return new (std::nothrow) ZYKREESTR_SPISKOV();
}

void ZySpiskiDes(ZYKREESTR_SPISKOV* reestr) {
    delete reestr;
}

void ZySpiskiSbrositKlyuch(ZYKREESTR_SPISKOV* reestr) {
    if (reestr) reestr->klyuch.clear();
}

// 1 while the current scene's static lists are still to be generated (its record is made).
int ZYKGLKONTROL::GenSpisokTestS() {
    ZYS_SPISKI_SCENY* s = ZapisSceny(*this, true);
    return s && s->gotovo == 0 ? 1 : 0;
}

// A new static block of `count` lists filed under `name`: its first number, or 0.
long ZYKGLKONTROL::GenSpisokS(long count, const char* name) {
    ZYS_SPISKI_SCENY* s = ZapisSceny(*this, true);
    if (!s || s->gotovo || count == 0 || !name) return 0;
    const unsigned long pervyj = SpiskiImena->Vzjat(count, true);
    if (!pervyj) return 0;
    Blok b(new (std::nothrow) ZYS_SPISOK(pervyj, count, SpiskiImena));
    if (!b || !b->pervyj) return 0;
    // NOTE: a name used twice takes the newer block; the older one leaves the registry
    // without deleting its lists (the scene may still call them).
    auto it = s->staticheskie.find(name);
    if (it != s->staticheskie.end()) {
        it->second->Zabyt();
        it->second = std::move(b);
    } else {
        s->staticheskie.emplace(name, std::move(b));
    }
    return static_cast<long>(pervyj);
}

// Marks the current scene's static generation as finished.
void ZYKGLKONTROL::GenSpisokSFin() {
    if (ZYS_SPISKI_SCENY* s = ZapisSceny(*this, true)) s->gotovo = 1;
}

// The first number of the static block `name`, once generation has finished; else 0.
long ZYKGLKONTROL::VzSpisokS(const char* name) {
    ZYS_SPISKI_SCENY* s = ZapisSceny(*this, false);
    if (!s || !s->gotovo || !name) return 0;
    auto it = s->staticheskie.find(name);
    return it == s->staticheskie.end() ? 0 : static_cast<long>(it->second->pervyj);
}

// 1 when the current scene has no dynamic block.
int ZYKGLKONTROL::GenSpisokTestD() {
    ZYS_SPISKI_SCENY* s = ZapisSceny(*this, false);
    if (!s) return SpiskiImena && !SpiskiImena->klyuch.empty() ? 1 : 0;
    return s->dinamicheskie.empty() ? 1 : 0;
}

// A new dynamic block of `count` lists: its first number, or 0.
long ZYKGLKONTROL::GenSpisokD(long count) {
    ZYS_SPISKI_SCENY* s = ZapisSceny(*this, true);
    if (!s || count == 0) return 0;
    const unsigned long pervyj = SpiskiImena->Vzjat(count, false);
    if (!pervyj) return 0;
    Blok b(new (std::nothrow) ZYS_SPISOK(pervyj, count, SpiskiImena));
    if (!b || !b->pervyj) return 0;
    s->dinamicheskie.push_back(std::move(b));
    return static_cast<long>(pervyj);
}

// Deletes the current scene's block starting at `first`: 1 static, -1 dynamic, 0 none.
int ZYKGLKONTROL::VwklSpisok(unsigned long first) {
    ZYS_SPISKI_SCENY* s = ZapisSceny(*this, false);
    if (!s || first == 0) return 0;
    for (auto it = s->staticheskie.begin(); it != s->staticheskie.end(); ++it)
        if (it->second->pervyj == first) {
            s->staticheskie.erase(it);
            return 1;
        }
    for (auto it = s->dinamicheskie.begin(); it != s->dinamicheskie.end(); ++it)
        if ((*it)->pervyj == first) {
            s->dinamicheskie.erase(it);
            return -1;
        }
    return 0;
}

// Deletes every static block of the current scene and opens its generation again.
bool ZYKGLKONTROL::VwklSpiskiS() {
    ZYS_SPISKI_SCENY* s = ZapisSceny(*this, false);
    if (!s || s->staticheskie.empty()) return false;
    s->staticheskie.clear();
    s->gotovo = 0;
    return true;
}

// Deletes every dynamic block of the current scene.
bool ZYKGLKONTROL::VwklSpiskiD() {
    ZYS_SPISKI_SCENY* s = ZapisSceny(*this, false);
    if (!s || s->dinamicheskie.empty()) return false;
    s->dinamicheskie.clear();
    return true;
}

// Removes the current scene's record with all its blocks; the number removed (0 or 1).
int ZYKGLKONTROL::VwklSpiski() {
    if (!ZapisSceny(*this, false)) return 0;
    return static_cast<int>(SpiskiImena->sceny.erase(SpiskiImena->klyuch));
}

// Deletes every dynamic block of the scene `sceneKey` (not necessarily the current one).
int ZYKGLKONTROL::VwklSpiskiD(const char* sceneKey) {
    if (!Reestr(*this) || !sceneKey) return 0;
    auto it = SpiskiImena->sceny.find(sceneKey);
    if (it == SpiskiImena->sceny.end() || it->second.dinamicheskie.empty()) return 0;
    it->second.dinamicheskie.clear();
    return 1;
}

} // namespace Quorvel
