// ZYKTAKT: the frame pacer of one controller. Each wait sleeps for what is left of the frame
// period since the previous wait, so the period includes the time spent drawing.
#include "ZyTakt.h"

namespace Quorvel {

// An empty ring and period 0; the performance counter is used when the system has one.
ZYKTAKT::ZYKTAKT()
    : kolco{}, kolVKolce(0), sledujushchij(0), poslTik(0), poslSchetchik(0), tikovVMs(1),
      estSchetchik(false), period(0) {
    LARGE_INTEGER chastota;
    if (QueryPerformanceFrequency(&chastota) && chastota.QuadPart > 0) {
        tikovVMs = chastota.QuadPart / 1000;
        if (tikovVMs < 1) tikovVMs = 1;
        estSchetchik = true;
    }
}

// Sleeps until `period` ms have passed since the last wait; returns the ms slept.
// With the performance counter the elapsed time is measured exactly; without it the tick
// count is coarse (10-16 ms), so the intervals of the last OKNO frames are averaged.
unsigned long ZYKTAKT::Zhdat() {
    unsigned long spal = 0;
    if (estSchetchik) {
        LARGE_INTEGER sejchas;
        QueryPerformanceCounter(&sejchas);
        const LONGLONG proshlo = (sejchas.QuadPart - poslSchetchik) / tikovVMs;
        if (proshlo >= 0 && proshlo < static_cast<LONGLONG>(period)) {
            spal = period - static_cast<unsigned long>(proshlo);
            Sleep(spal);
        }
        QueryPerformanceCounter(&sejchas);
        poslSchetchik = sejchas.QuadPart;
        return spal;
    }
    const unsigned long proshlo = GetTickCount() - poslTik;
    if (proshlo < period) {
        kolco[sledujushchij] = proshlo;
        sledujushchij = (sledujushchij + 1) % OKNO;
        if (kolVKolce < OKNO) ++kolVKolce;
        unsigned long summa = 0;
        for (unsigned long i = 0; i < kolVKolce; ++i)
            summa += kolco[i];
        const unsigned long srednee = summa / kolVKolce;
        if (srednee < period) {
            spal = period - srednee;
            Sleep(spal);
        }
    }
    poslTik = GetTickCount();
    return spal;
}

} // namespace Quorvel
