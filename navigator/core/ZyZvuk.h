// The one path of every tone the engine sounds (internal to the engine).
#ifndef ZYZVUK_H
#define ZYZVUK_H

namespace Quorvel {

// Beep(chastota Hz, dlitelnost ms), reported first to the observer set with
// ZyVsNabljudatelZvuka (NOTE: Wine's Beep returns at once and is silent, so tests watch here).
void ZyZvuk(unsigned long chastota, unsigned long dlitelnost);

} // namespace Quorvel

#endif
