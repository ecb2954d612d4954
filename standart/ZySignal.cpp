// The library's one route to the speaker.
#include "ZySignal.h"

#include <atomic>

namespace zyst {
namespace {

std::atomic<unsigned> gKolSignalov{0};
// Pitch in the high half, length in the low half, so both are read together.
std::atomic<unsigned long long> gPoslednij{0};

} // namespace

// Records the tone, then sounds it (Beep blocks for the tone's length on Windows).
void ZySignal(unsigned chastota, unsigned dlitelnost) {
    gPoslednij.store((static_cast<unsigned long long>(chastota) << 32) | dlitelnost);
    gKolSignalov.fetch_add(1);
    Beep(chastota, dlitelnost);
}

} // namespace zyst

extern "C" {

// Reports how many tones were sounded and the last one.
unsigned ZyVzSignal(unsigned* chastota, unsigned* dlitelnost) {
    const unsigned long long posl = zyst::gPoslednij.load();
    if (chastota) *chastota = unsigned(posl >> 32);
    if (dlitelnost) *dlitelnost = unsigned(posl & 0xFFFFFFFFu);
    return zyst::gKolSignalov.load();
}

} // extern "C"
