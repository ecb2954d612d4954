// Angles of the built-in scene's clock and calendar as functions of the date and time
// (degrees; internal to the engine, shared with its tests).
#ifndef ZYUGLYNACH_H
#define ZYUGLYNACH_H

namespace Quorvel {

// The calendar disk: 30 degrees a month and 1 a day (1 January 1, 31 December 361).
inline double ZyUgolKalendarja(int mesjac, int den) {
    const int m = mesjac > 0 ? mesjac - 1 : 0;
    return 30.0 * m + den;
}
// The hour hand: half a degree a minute of the day.
inline double ZyUgolChasa(int chas, int minuta) {
    return (60.0 * chas + minuta) * 0.5;
}
// The minute and the second hand: 6 degrees a unit.
inline double ZyUgolMinuty(int minuta) {
    return 6.0 * minuta;
}
inline double ZyUgolSekundy(int sekunda) {
    return 6.0 * sekunda;
}

} // namespace Quorvel

#endif // ZYUGLYNACH_H
