// The controller's display-list registry: per scene (keyed by the scene module's name) the
// static blocks, ordered by name, and the dynamic blocks in creation order. A block owns its
// lists: destroying it deletes them in the rendering context. Static numbers run from 1 to
// 0x7FFFFFFF, dynamic ones from 0x80000000 to 0xFFFFFFFE.
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

// A block of consecutive display lists; deletes them when destroyed (first 0: no block).
// NOTE: only while a rendering context is current on this thread: without one there are no
// lists to delete (the context that held them is gone, or belongs to another thread).
struct ZYS_SPISOK {
    unsigned long pervyj = 0;
    long kol = 0;
    ZYS_SPISOK(unsigned long p, long k) : pervyj(p), kol(k) {}
    ~ZYS_SPISOK() {
        if (pervyj && kol > 0 && wglGetCurrentContext())
            glDeleteLists(static_cast<GLuint>(pervyj), static_cast<GLsizei>(kol));
    }
    ZYS_SPISOK(const ZYS_SPISOK&) = delete;
    ZYS_SPISOK& operator=(const ZYS_SPISOK&) = delete;
};
using Blok = std::unique_ptr<ZYS_SPISOK>;

// The lists of one scene.
struct ZYS_SPISKI_SCENY {
    std::map<std::string, Blok> staticheskie;
    long gotovo = 0; // static generation finished
    std::list<Blok> dinamicheskie;
};

// The number range [a, a + n) meets a block.
bool Peresekaet(unsigned long a, unsigned long n, const ZYS_SPISOK& b) {
    const unsigned long long a0 = a, a1 = a0 + n, b0 = b.pervyj, b1 = b0 + unsigned(b.kol);
    return b.pervyj && a0 < b1 && b0 < a1;
}

} // namespace

class ZYKREESTR_SPISKOV {
public:
    std::map<std::string, ZYS_SPISKI_SCENY> sceny;
    unsigned long sledS = kPervyjS;
    unsigned long sledD = kPervyjD;
    ZYKGLKONTROL* kontrol = nullptr; // the controller that used the registry last
    std::string klyuch;              // the current scene key, empty until derived

    // The current scene's record, created when `sozdat` is set; null without a scene key.
    ZYS_SPISKI_SCENY* Scena(ZYKGLKONTROL& k, bool sozdat);
    // `n` numbers from the static or dynamic counter (0 for n <= 0).
    unsigned long Vzjat(long n, bool staticheskie);

private:
    // The first block of any scene that meets [a, a + n), or null.
    const ZYS_SPISOK* Zanjato(unsigned long a, unsigned long n) const;
};

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

const ZYS_SPISOK* ZYKREESTR_SPISKOV::Zanjato(unsigned long a, unsigned long n) const {
    for (const auto& s : sceny) {
        for (const auto& b : s.second.staticheskie)
            if (Peresekaet(a, n, *b.second)) return b.second.get();
        for (const Blok& b : s.second.dinamicheskie)
            if (Peresekaet(a, n, *b)) return b.get();
    }
    return nullptr;
}

// Takes numbers; past the end of its range a counter starts again at the beginning. Choice:
// after such a restart, numbers still held by a live block are skipped (the block behind them
// keeps its lists), so two blocks never share a number; 0 when no free range is left.
unsigned long ZYKREESTR_SPISKOV::Vzjat(long n, bool staticheskie) {
    if (n <= 0) return 0;
    unsigned long& sled = staticheskie ? sledS : sledD;
    const unsigned long nachalo = staticheskie ? kPervyjS : kPervyjD;
    const unsigned long konec = staticheskie ? kPoslednijS : kPoslednijD;
    const unsigned long long kol = static_cast<unsigned long>(n);
    if (kol > konec - nachalo + 1ull) return 0;
    unsigned long pervyj = sled;
    if (pervyj < nachalo || pervyj + kol - 1ull > konec) {
        pervyj = nachalo; // restart
        for (int i = 0; i < 100000; ++i) {
            const ZYS_SPISOK* b = Zanjato(pervyj, static_cast<unsigned long>(kol));
            if (!b) break;
            const unsigned long long za =
                static_cast<unsigned long long>(b->pervyj) + unsigned(b->kol);
            if (za + kol - 1ull > konec) return 0;
            pervyj = static_cast<unsigned long>(za);
        }
    }
    sled = static_cast<unsigned long>(pervyj + kol);
    return pervyj;
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
    ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, true) : nullptr;
    return s && s->gotovo == 0 ? 1 : 0;
}

// A new static block of `count` lists filed under `name`: its first number, or 0.
long ZYKGLKONTROL::GenSpisokS(long count, const char* name) {
    ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, true) : nullptr;
    if (!s || s->gotovo || count == 0 || !name) return 0;
    const unsigned long pervyj = SpiskiImena->Vzjat(count, true);
    if (!pervyj) return 0;
    Blok b(new (std::nothrow) ZYS_SPISOK(pervyj, count));
    if (!b) return 0;
    // NOTE: a name used twice takes the newer block; the older one leaves the registry
    // without deleting its lists (the scene may still call them).
    auto it = s->staticheskie.find(name);
    if (it != s->staticheskie.end()) {
        it->second->pervyj = 0;
        it->second = std::move(b);
    } else {
        s->staticheskie.emplace(name, std::move(b));
    }
    return static_cast<long>(pervyj);
}

// Marks the current scene's static generation as finished.
void ZYKGLKONTROL::GenSpisokSFin() {
    if (ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, true) : nullptr)
        s->gotovo = 1;
}

// The first number of the static block `name`, once generation has finished; else 0.
long ZYKGLKONTROL::VzSpisokS(const char* name) {
    ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, false) : nullptr;
    if (!s || !s->gotovo || !name) return 0;
    auto it = s->staticheskie.find(name);
    return it == s->staticheskie.end() ? 0 : static_cast<long>(it->second->pervyj);
}

// 1 when the current scene has no dynamic block.
int ZYKGLKONTROL::GenSpisokTestD() {
    ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, false) : nullptr;
    if (!s) return SpiskiImena && !SpiskiImena->klyuch.empty() ? 1 : 0;
    return s->dinamicheskie.empty() ? 1 : 0;
}

// A new dynamic block of `count` lists: its first number, or 0.
long ZYKGLKONTROL::GenSpisokD(long count) {
    ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, true) : nullptr;
    if (!s || count == 0) return 0;
    const unsigned long pervyj = SpiskiImena->Vzjat(count, false);
    if (!pervyj) return 0;
    Blok b(new (std::nothrow) ZYS_SPISOK(pervyj, count));
    if (!b) return 0;
    s->dinamicheskie.push_back(std::move(b));
    return static_cast<long>(pervyj);
}

// Deletes the current scene's block starting at `first`: 1 static, -1 dynamic, 0 none.
int ZYKGLKONTROL::VwklSpisok(unsigned long first) {
    ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, false) : nullptr;
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
    ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, false) : nullptr;
    if (!s || s->staticheskie.empty()) return false;
    s->staticheskie.clear();
    s->gotovo = 0;
    return true;
}

// Deletes every dynamic block of the current scene.
bool ZYKGLKONTROL::VwklSpiskiD() {
    ZYS_SPISKI_SCENY* s = SpiskiImena ? SpiskiImena->Scena(*this, false) : nullptr;
    if (!s || s->dinamicheskie.empty()) return false;
    s->dinamicheskie.clear();
    return true;
}

// Removes the current scene's record with all its blocks; the number removed (0 or 1).
int ZYKGLKONTROL::VwklSpiski() {
    if (!SpiskiImena || !SpiskiImena->Scena(*this, false)) return 0;
    return static_cast<int>(SpiskiImena->sceny.erase(SpiskiImena->klyuch));
}

// Deletes every dynamic block of the scene `sceneKey` (not necessarily the current one).
int ZYKGLKONTROL::VwklSpiskiD(const char* sceneKey) {
    if (!SpiskiImena || !sceneKey) return 0;
    auto it = SpiskiImena->sceny.find(sceneKey);
    if (it == SpiskiImena->sceny.end() || it->second.dinamicheskie.empty()) return 0;
    it->second.dinamicheskie.clear();
    return 1;
}

} // namespace Quorvel
