// Grid layout of the view windows in the parent's client area (pure logic, internal).
#ifndef ZYSETKA_H
#define ZYSETKA_H

#include <vector>

namespace Quorvel {

// One cell size and the positions of the cells, left to right, top to bottom.
struct ZYS_SETKA {
    long shirina = 0;          // cell width
    long vysota = 0;           // cell height
    unsigned long kolonki = 0; // cells per row
    bool zapasnaja = false;    // the search found no fitting cell: one column of full width
    unsigned long shagov = 0;  // aspect steps the search took (bounded by ZY_SETKA_MAKS_SHAGOV)
    std::vector<long> x, y;    // position of cell i
};

// Aspect steps of 0.01 tried before the search gives up (4:3 up to about 11.3:1).
constexpr unsigned long ZY_SETKA_MAKS_SHAGOV = 1000;

// Lays out n (>= 1) cells in a W x H area. An odd count (or one window without a parent) uses
// 16:9 cells in the upper half of the area; otherwise 4:3 is widened in steps of 0.01 until
// the remainders at the right (<= 5) and bottom (<= 32) edges are small. When no cell fits
// within the bound, or the area is empty, the cells form one column of full-width cells.
ZYS_SETKA ZyRaschetSetki(long W, long H, unsigned long n, bool estRoditel);

} // namespace Quorvel

#endif
