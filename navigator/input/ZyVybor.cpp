// Picking scene objects: the scene is drawn once more in OpenGL selection mode, either through
// a 4 x 4 pixel pick region around the cursor or over the whole view, and the hit records tell
// which named objects were drawn there. The name stack of the hit found last is kept in the
// controller's pickedNames, which the name queries read.
//
// Runs on the controller thread with its rendering context current; leaves the render mode at
// GL_RENDER and the pick projection in place until the next frame sets its own.
#include "ZyVybor.h"
#include "ZyPopadanija.h"
#include "ZyReestr.h"

#include <GL/gl.h>

#include <new>
#include <vector>

namespace Quorvel {

namespace {

constexpr std::size_t kShagBufera = 256; // the first sizes: 256, 512 and 768 words
// A selection that does not fit in this many words is given up (no hits): a scene that pushes
// more names than this in one pass has none that a pick could tell apart.
constexpr std::size_t kMaksBufera = std::size_t(1) << 24;

// The buffer size after an overflow at `dlina` words: 512 and 768 words first, then eight
// times the size, so that N named objects cost a number of passes that grows with log N, not
// with N (100,000 objects under the cursor: 7 passes, once; the buffer is kept).
constexpr std::size_t kRost = 8;
std::size_t SledujushchajaDlina(std::size_t dlina) {
    const std::size_t sled = dlina < 3 * kShagBufera ? dlina + kShagBufera : kRost * dlina;
    return sled < kMaksBufera ? sled : kMaksBufera;
}

// Draws the scene in selection mode into the controller's kept buffer (grown while the hits
// overflow it; a later pass starts at the size reached); the number of hit records, whose words
// are then at `slova` (`kol` of them). 0 without a drawing function or a registry, when the
// buffer would pass its limit or cannot be had.
long VybratVBufer(ZYKGLKONTROL& k, const unsigned int*& slova, std::size_t& kol) {
    slova = nullptr;
    kol = 0;
    const ZYF_SCENA risovat = k.Fynkcii[2].fyn;
    if (!risovat || !k.messageRegistry) return 0;
    std::vector<unsigned int>& bufer = k.messageRegistry->vyborBufer;
    try {
        if (bufer.size() < kShagBufera) bufer.resize(kShagBufera);
        for (;;) {
            glSelectBuffer(static_cast<GLsizei>(bufer.size()), bufer.data());
            glRenderMode(GL_SELECT);
            risovat(&k);
            const GLint popadanij = glRenderMode(GL_RENDER);
            if (popadanij >= 0) {
                slova = bufer.data();
                kol = bufer.size();
                return popadanij;
            }
            if (bufer.size() >= kMaksBufera) return 0;
            bufer.resize(SledujushchajaDlina(bufer.size()));
        }
    } catch (const std::bad_alloc&) {
        // The buffer keeps its last size (the context still points at it); no hits this time.
    }
    return 0;
}

} // namespace

// The object under the cursor: the pick region is 4 x 4 pixels around the point in lParam
// (client pixels, unsigned). A hit with names replaces pickedNames and gives its innermost
// name; otherwise 0 and pickedNames stays.
unsigned long ZyVybratPodKursorom(const MSG* soob, ZYKGLKONTROL& kontrol) {
    if (!soob) return 0;
    const unsigned long l = static_cast<unsigned long>(soob->lParam);
    ZYS_REGION_VIDA region{double(l & 0xFFFF), double((l >> 16) & 0xFFFF), 4.0, 4.0};
    kontrol.PozicijaNabludenija(&region);
    const unsigned int* slova = nullptr;
    std::size_t kol = 0;
    const long popadanij = VybratVBufer(kontrol, slova, kol);
    const std::size_t poz = ZyBlizhajsheePopadanie(slova, kol, popadanij);
    if (poz == ZY_NET_POPADANIJA) return 0;
    const unsigned long imen = slova[poz];
    if (imen == 0) return 0;
    ZyZapomnitImena(kontrol, slova + poz + ZY_ZAGOLOVOK_POPADANIJA, imen);
    return slova[poz + ZY_ZAGOLOVOK_POPADANIJA + imen - 1];
}

// Every object visible in the view: the scene in selection mode without a pick region and
// without a navigation step; the hit records stay in the controller's selection buffer.
long ZyVybratVesVid(ZYKGLKONTROL& kontrol, const unsigned int*& slova, std::size_t& kol) {
    ZYS_REGION_VIDA region{0.0, 0.0, 0.0, 0.0};
    kontrol.PozicijaNabludenija(&region);
    return VybratVBufer(kontrol, slova, kol);
}

// Replaces pickedNames by the names of one hit record.
void ZyZapomnitImena(ZYKGLKONTROL& kontrol, const unsigned int* imena, unsigned long kol) {
    if (!kontrol.pickedNames || !imena || kol == 0) return;
    kontrol.pickedNames->assign(imena, imena + kol);
}

// Number of names of the last picked hit.
unsigned long ZYKGLKONTROL::VzKolIm() {
    return pickedNames ? static_cast<unsigned long>(pickedNames->size()) : 0;
}

// Name i of the last picked hit (0 = outermost); 0 for an index outside the list.
unsigned long ZYKGLKONTROL::VzIm(unsigned long i) {
    if (!pickedNames || i >= pickedNames->size()) return 0;
    return (*pickedNames)[i];
}

// The innermost name of the last picked hit (the object's own); 0 when nothing was picked.
unsigned long ZYKGLKONTROL::VzImObj() {
    if (!pickedNames || pickedNames->empty()) return 0;
    return pickedNames->back();
}

} // namespace Quorvel
