// The system fonts of the non-client metrics as new font handles.
#include "ZyKGLOrvanta2.h"

#include <cstddef>

namespace {

// NOTE: the record of 340 bytes (without iPaddedBorderWidth) is accepted by every Windows
// version; the full record of newer headers is refused by older systems.
#if defined(_WIN32_WINNT) && _WIN32_WINNT >= 0x0600
constexpr UINT kRazmerMetrik = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
#else
constexpr UINT kRazmerMetrik = sizeof(NONCLIENTMETRICSA);
#endif
static_assert(kRazmerMetrik == 340, "the non-client metrics record of 340 bytes");

} // namespace

// A new font from the non-client metrics: 0 caption, 1 small caption, 2 menu, 3 status bar,
// 4 message box; null above 4 (without asking the system) or when the metrics cannot be read.
// The caller deletes the font.
HFONT ZySistemnwjShrift(unsigned long index) {
    if (index > 4) return nullptr;
    NONCLIENTMETRICSA metriki = {};
    metriki.cbSize = kRazmerMetrik;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kRazmerMetrik, &metriki, 0)) return nullptr;
    const LOGFONTA* shrifty[5] = {&metriki.lfCaptionFont, &metriki.lfSmCaptionFont,
                                  &metriki.lfMenuFont, &metriki.lfStatusFont,
                                  &metriki.lfMessageFont};
    return CreateFontIndirectA(shrifty[index]);
}
