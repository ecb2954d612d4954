// Picking scene objects: the scene is drawn once more in OpenGL selection mode, either through
// a 4 x 4 pixel pick region around the cursor or over the whole view, and the hit records tell
// which named objects were drawn there. The name stack of the hit found last is kept in the
// controller's pickedNames, which the name queries read.
//
// Runs on the controller thread with its rendering context current; leaves the render mode at
// GL_RENDER and the pick projection in place until the next frame sets its own.
#include "ZyVybor.h"

#include <GL/gl.h>

#include <new>

namespace Quorvel {

namespace {

constexpr std::size_t kShagBufera = 256; // words added to the selection buffer per overflow
// A selection that does not fit in this many words is given up (no hits): a scene that pushes
// more names than this in one pass has none that a pick could tell apart.
constexpr std::size_t kMaksBufera = std::size_t(1) << 24;

constexpr std::size_t kZagolovok = 3; // name count, minimum depth, maximum depth

// Draws the scene in selection mode into bufer (256 words, then 512, 768, ... while the hits
// overflow it); the number of hit records. 0 without a drawing function, when the buffer would
// pass its limit or cannot be had; the buffer then holds at least one zeroed record header.
long VybratVBufer(std::vector<unsigned int>& bufer, ZYKGLKONTROL& k) {
    const ZYF_SCENA risovat = k.Fynkcii[2].fyn;
    try {
        bufer.assign(kShagBufera, 0);
        if (!risovat) return 0;
        for (std::size_t dlina = kShagBufera; dlina <= kMaksBufera; dlina += kShagBufera) {
            bufer.assign(dlina, 0);
            glSelectBuffer(static_cast<GLsizei>(dlina), bufer.data());
            glRenderMode(GL_SELECT);
            risovat(&k);
            const GLint popadanij = glRenderMode(GL_RENDER);
            if (popadanij >= 0) return popadanij;
        }
        bufer.assign(kShagBufera, 0);
    } catch (const std::bad_alloc&) {
        glRenderMode(GL_RENDER);
        bufer.clear();
    }
    return 0;
}

// Position of the hit record with the smallest minimum depth (compared unsigned; the earlier
// record wins a tie), 0 when there are no hits (the zeroed first word is an empty record).
std::size_t BlizhajsheePopadanie(const std::vector<unsigned int>& bufer, long popadanij) {
    std::size_t luchshee = 0, poz = 0;
    bool est = false;
    for (long i = 0; i < popadanij && poz + kZagolovok <= bufer.size(); ++i) {
        const std::size_t imen = bufer[poz];
        if (imen > bufer.size() - poz - kZagolovok) break; // a truncated record ends the walk
        if (!est || bufer[poz + 1] < bufer[luchshee + 1]) {
            luchshee = poz;
            est = true;
        }
        poz += kZagolovok + imen;
    }
    return luchshee;
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
    std::vector<unsigned int> bufer;
    const long popadanij = VybratVBufer(bufer, kontrol);
    if (popadanij <= 0 || bufer.size() < kZagolovok) return 0;
    const std::size_t poz = BlizhajsheePopadanie(bufer, popadanij);
    const unsigned long imen = bufer[poz];
    if (imen == 0) return 0;
    ZyZapomnitImena(kontrol, bufer.data() + poz + kZagolovok, imen);
    return bufer[poz + kZagolovok + imen - 1];
}

// Every object visible in the view: the scene in selection mode without a pick region and
// without a navigation step; the hit records stay in bufer.
long ZyVybratVesVid(std::vector<unsigned int>& bufer, ZYKGLKONTROL& kontrol) {
    ZYS_REGION_VIDA region{0.0, 0.0, 0.0, 0.0};
    kontrol.PozicijaNabludenija(&region);
    return VybratVBufer(bufer, kontrol);
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
