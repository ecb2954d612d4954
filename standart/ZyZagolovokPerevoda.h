// The instructions that open a new translation file.
#ifndef ZYZAGOLOVOKPEREVODA_H
#define ZYZAGOLOVOKPEREVODA_H

#include <cstddef>

namespace zyst {

// The header text in code page 1251, CR LF line ends, ending in "***" without a line end.
const char* ZyZagolovokPerevoda();
// Its length in bytes.
std::size_t ZyDlinaZagolovkaPerevoda();

} // namespace zyst

#endif // ZYZAGOLOVOKPEREVODA_H
