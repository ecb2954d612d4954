// Frame pacer: keeps the frame period of one controller (internal to the engine).
#ifndef ZYTAKT_H
#define ZYTAKT_H

#include <windows.h>

namespace Quorvel {

class ZYKTAKT {
public:
    enum { OKNO = 20 };          // intervals kept for the running average
    unsigned long kolco[OKNO];   // ring of the last intervals, ms
    unsigned long kolVKolce;     // values in the ring (grows up to OKNO)
    unsigned long sledujushchij; // ring slot overwritten next once the ring is full
    unsigned long poslTik;       // GetTickCount() after the last wait
    LONGLONG poslSchetchik;      // performance counter after the last wait
    LONGLONG tikovVMs;           // performance-counter ticks per millisecond (>= 1)
    bool estSchetchik;           // the performance counter is available
    unsigned long period;        // frame period, ms

    ZYKTAKT();
    // Sleeps for what is left of the period since the last wait; returns the ms slept.
    unsigned long Zhdat();
};

// 1000 / fps ms, and 40 ms for a rate of 0.
inline unsigned long ZyPeriodKadra(unsigned short fps) {
    return fps ? 1000u / fps : 40u;
}

} // namespace Quorvel

#endif
