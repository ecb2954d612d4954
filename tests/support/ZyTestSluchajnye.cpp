// Pseudo-random test inputs.
#include "ZyTestSluchajnye.h"

namespace zytest {

std::string SluchajnyjTekst(unsigned zerno, std::size_t dlina) {
    std::string t;
    t.reserve(dlina);
    for (std::size_t i = 0; i < dlina; ++i) {
        zerno = zerno * 1103515245u + 12345u;
        t += static_cast<char>(zerno >> 16);
    }
    return t;
}

} // namespace zytest
