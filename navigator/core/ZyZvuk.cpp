// The one path of every tone the engine sounds, and its observer.
#include "ZyZvuk.h"

#include "ZyKGLOrvanta2.h"

#include <atomic>

namespace Quorvel {

namespace {
// Set by a test or a diagnostic tool; read by every sounding thread.
std::atomic<ZYF_ZVUK> nabljudatel{nullptr};
} // namespace

// Installs the tone observer; returns the previous one.
ZYF_ZVUK ZyVsNabljudatelZvuka(ZYF_ZVUK novyj) {
    return nabljudatel.exchange(novyj);
}

// Reports the tone to the observer, then sounds it.
void ZyZvuk(unsigned long chastota, unsigned long dlitelnost) {
    if (ZYF_ZVUK n = nabljudatel.load()) n(chastota, dlitelnost);
    Beep(chastota, dlitelnost);
}

} // namespace Quorvel
