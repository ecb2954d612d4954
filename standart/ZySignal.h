// The library's audible signals. Every tone goes through ZySignal, which also counts it, so
// that a program (a test) can see a tone that Wine's silent Beep would hide.
#ifndef ZYSIGNAL_H
#define ZYSIGNAL_H

#include "ZyStandart.h"

namespace zyst {

// Sounds `chastota` Hz for `dlitelnost` ms and records the tone.
void ZySignal(unsigned chastota, unsigned dlitelnost);

} // namespace zyst

extern "C" {
// Number of tones the library has sounded so far; the last one's pitch and length into the
// optional `chastota` and `dlitelnost` (0 before the first tone).
ZYSTANDART_API unsigned ZyVzSignal(unsigned* chastota, unsigned* dlitelnost);
}

#endif // ZYSIGNAL_H
