// The 24-byte header of a translation block (the section itself is ZyBlokPerevoda.h). Layout,
// 32-bit little-endian fields: 0 RazmerZag 24 | 4 Metka "ZYTEKST\0" | 12 Sostojanie (1 request,
// 2 answered) | 16 Dlina | 20 Okno. Needs no <windows.h>, so host builds check the layout too.
#ifndef ZYZAGOLOVOKBLOKA_H
#define ZYZAGOLOVOKBLOKA_H

#include <cstdint>

namespace zyst {

struct ZYS_BLOK_PEREVODA {
    std::uint32_t RazmerZag;  // 24
    char Metka[8];            // "ZYTEKST" and a zero byte
    std::uint32_t Sostojanie; // bit 0: request filled in; bit 1: answered
    std::uint32_t Dlina;      // bytes of the strings (request) or of the answer list
    std::uint32_t Okno;       // owner window of a message box, otherwise 0
};
static_assert(sizeof(ZYS_BLOK_PEREVODA) == 24, "the block header has a fixed layout");

constexpr std::uint32_t kRazmerZag = 24;
constexpr std::uint32_t kZaprosZapolnen = 1;
constexpr std::uint32_t kOtvetGotov = 2;
constexpr char kMetka[8] = {'Z', 'Y', 'T', 'E', 'K', 'S', 'T', 0};

} // namespace zyst

#endif // ZYZAGOLOVOKBLOKA_H
