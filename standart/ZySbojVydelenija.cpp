// The allocation operator of this library: the runtime's, except that a test can make the
// n-th allocation of a thread fail (ZySbojVydelenija.h). Every std:: container and string of
// the library allocates through it, so the out-of-memory paths can be checked for real.
#include "ZySbojVydelenija.h"

#include <cstdlib>
#include <new>

namespace {

// Allocations of this thread left until the failing one; 0 when none is to fail.
thread_local unsigned tDoSboja = 0;

// True when this allocation is the one a test asked to fail.
bool zySejchasSboj() {
    if (tDoSboja == 0) return false;
    return --tDoSboja == 0;
}

} // namespace

// Allocates with malloc (so the runtime's operator delete releases it), retrying through
// the new-handler as the standard operator does.
void* operator new(std::size_t n) {
    if (zySejchasSboj()) throw std::bad_alloc();
    if (n == 0) n = 1;
    for (;;) {
        if (void* p = std::malloc(n)) return p;
        std::new_handler h = std::get_new_handler();
        if (!h) throw std::bad_alloc();
        h();
    }
}

extern "C" {

// Arms (or, with 0, disarms) the failure of the n-th allocation of this thread.
ZYSTANDART_API void ZySbojVydelenija(unsigned n) {
    tDoSboja = n;
}

} // extern "C"
