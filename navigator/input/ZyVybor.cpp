// Picking scene objects. PROVISIONAL: selection-mode rendering comes with object picking; until
// then no object is ever found under the cursor or in the view, so clicks remove the focus and
// the mouse and keyboard object stages of dispatch deliver nothing.
#include "ZyVybor.h"

namespace Quorvel {

// Provisional: nothing is found under the cursor.
unsigned long ZyVybratPodKursorom(const MSG*, ZYKGLKONTROL&) {
    return 0;
}

// Provisional: the view yields no hits.
long ZyVybratVesVid(std::vector<unsigned int>& bufer, ZYKGLKONTROL&) {
    bufer.clear();
    return 0;
}

// Replaces pickedNames by the names of one hit record.
void ZyZapomnitImena(ZYKGLKONTROL& kontrol, const unsigned int* imena, unsigned long kol) {
    if (!kontrol.pickedNames || !imena || kol == 0) return;
    kontrol.pickedNames->assign(imena, imena + kol);
}

} // namespace Quorvel
