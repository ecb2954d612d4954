// The quoted parts of a text: cutting them out and putting them back gives the text again,
// both with the translator's string functions and with the counted-byte functions
// ZyVyrezatMezhduStrok / ZyVstavitMezhduStrok, which must never touch a byte outside the
// counted region.
#include "ZyBajty.h"
#include "ZyFuzz.h"
#include "ZyKavychki.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The string form: every pair emptied, the quotes kept, the parts restored in order.
void Stroki(const std::string& ishodnyj) {
    std::string t = ishodnyj;
    const std::vector<std::string> chasti = zyst::ZyVyrezatChasti(t);
    ZY_PROVERIT(std::count(t.begin(), t.end(), '"') ==
                    std::count(ishodnyj.begin(), ishodnyj.end(), '"'),
                "quotes lost");
    ZY_PROVERIT(
        t.size() +
                [&] {
                    size_t n = 0;
                    for (const auto& c : chasti)
                        n += c.size();
                    return n;
                }() ==
            ishodnyj.size(),
        "bytes lost");
    zyst::ZyVstavitChasti(t, chasti);
    ZY_PROVERIT(t == ishodnyj, "round trip changed the text (%zu parts)", chasti.size());
}

// The counted-byte form over a region of exactly L bytes in its own allocation.
void Bajty(const std::string& ishodnyj) {
    const unsigned L = unsigned(ishodnyj.size());
    if (L == 0) return;
    std::unique_ptr<char[]> t(new char[L]);
    std::memcpy(t.get(), ishodnyj.data(), L);
    std::unique_ptr<char[]> chast(new char[L + 1]);
    std::vector<std::string> chasti;
    const char* dalee = t.get();
    for (;;) {
        unsigned dlina = L - unsigned(dalee - t.get());
        if (dlina == 0) break;
        const char* sled =
            ZyVyrezatMezhduStrok(const_cast<char*>(dalee), "\"", "\"", &dlina, chast.get());
        if (!sled) break;
        ZY_PROVERIT(sled > dalee && sled <= t.get() + L, "cut went outside the region");
        chasti.emplace_back(chast.get());
        dalee = sled;
    }
    std::string ozhid = ishodnyj;
    const std::vector<std::string> chastiStrok = zyst::ZyVyrezatChasti(ozhid);
    ozhid.resize(L, '\0');
    ZY_PROVERIT(chasti.size() == chastiStrok.size(), "%zu parts cut, the string form cut %zu",
                chasti.size(), chastiStrok.size());
    ZY_PROVERIT(std::memcmp(t.get(), ozhid.data(), L) == 0,
                "cut region differs from the string form");
    // Zero bytes inside a part end it for the byte form: only compare the parts without them.
    if (ishodnyj.find('\0') != std::string::npos) return;
    for (size_t i = 0; i < chasti.size(); ++i)
        ZY_PROVERIT(chasti[i] == chastiStrok[i], "part %zu differs", i);
    dalee = t.get();
    for (const std::string& c : chasti) {
        unsigned mesto = L - unsigned(dalee - t.get());
        const char* sled =
            ZyVstavitMezhduStrok(const_cast<char*>(dalee), "\"", "\"", &mesto, c.c_str());
        ZY_PROVERIT(sled != nullptr, "no pair to put a part into");
        dalee = sled;
    }
    ZY_PROVERIT(std::memcmp(t.get(), ishodnyj.data(), L) == 0, "byte round trip changed the text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string t(reinterpret_cast<const char*>(data), std::min<size_t>(size, 4096));
    Stroki(t);
    Bajty(t);
    return 0;
}
