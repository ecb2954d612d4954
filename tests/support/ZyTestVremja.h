// Test and benchmark helper: the high-resolution clock and the processor time of a thread.
#ifndef ZYTESTVREMJA_H
#define ZYTESTVREMJA_H

#include <windows.h>

namespace zytest {

// Seconds from the high-resolution counter.
double Sekundy();

// Processor time (kernel and user) a thread has used so far, in milliseconds.
double VremjaPotoka(HANDLE potok);

} // namespace zytest

#endif // ZYTESTVREMJA_H
