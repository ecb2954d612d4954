// The library's own allocation operator and a test hook that makes a chosen allocation fail
// (internal; not part of the public header).
#ifndef ZYSBOJVYDELENIJA_H
#define ZYSBOJVYDELENIJA_H

#include "ZyStandart.h"

extern "C" {
// The n-th allocation (operator new) of the calling thread from now fails with
// std::bad_alloc; 0 switches the failure off. Only for tests of the out-of-memory paths.
ZYSTANDART_API void ZySbojVydelenija(unsigned n);
}

#endif // ZYSBOJVYDELENIJA_H
