// Test helper: reproducible pseudo-random bytes for the inputs a library must survive.
#ifndef ZYTESTSLUCHAJNYE_H
#define ZYTESTSLUCHAJNYE_H

#include <cstddef>
#include <string>

namespace zytest {

// `dlina` bytes of a linear congruential sequence started at `zerno` (the same bytes on
// every run and on both targets).
std::string SluchajnyjTekst(unsigned zerno, std::size_t dlina);

} // namespace zytest

#endif // ZYTESTSLUCHAJNYE_H
