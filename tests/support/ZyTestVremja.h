// Test and benchmark helper: the high-resolution clock and the processor time of a thread.
#ifndef ZYTESTVREMJA_H
#define ZYTESTVREMJA_H

#include <windows.h>

#include <functional>

namespace zytest {

// Seconds from the high-resolution counter.
double Sekundy();

// The best (shortest) time in seconds of `raz` runs of `op`; `podgotovka`, when given, runs
// untimed before each.
double LuchsheeVremja(const std::function<void()>& op, int raz,
                      const std::function<void()>& podgotovka = {});

// Processor time (kernel and user) a thread has used so far, in milliseconds.
double VremjaPotoka(HANDLE potok);

} // namespace zytest

#endif // ZYTESTVREMJA_H
