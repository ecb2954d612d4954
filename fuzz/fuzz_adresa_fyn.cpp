// The "AdresaFyn.txt" reader: over any text (in an allocation of exactly its size) each key's
// lookup agrees with a plain reading of the rule written here, and the four lines the engine
// writes read back as the names written.
#include "ZyAdresaFyn.h"
#include "ZyFuzz.h"

#include <cstring>
#include <memory>
#include <string>

using namespace Quorvel;

namespace {

// First occurrence of the key, the next "=", the value up to ";" or the end, trimmed of bytes
// that are at most 32 as signed bytes. A value holding a zero byte is no name.
bool Etalon(const std::string& t, const std::string& k, std::string& v) {
    const size_t p = t.find(k);
    if (k.empty() || p == std::string::npos) return false;
    const size_t r = t.find('=', p + k.size());
    if (r == std::string::npos) return false;
    size_t a = r + 1, b = t.find(';', a);
    if (b == std::string::npos) b = t.size();
    while (a < b && static_cast<signed char>(t[a]) <= 32)
        ++a;
    while (b > a && static_cast<signed char>(t[b - 1]) <= 32)
        --b;
    v = t.substr(a, b - a);
    return a < b && v.find('\0') == std::string::npos;
}

// A name as a user might write it: no ";" and no key inside, not starting or ending in a blank.
std::string Imja(FuzzedDataProvider& d) {
    std::string s = d.ConsumeRandomLengthString(30);
    for (char& c : s)
        if (c == ';' || c == '\0' || c == '=') c = '_';
    for (const char* k : ZyKlyuchiScenw)
        for (size_t p; (p = s.find(k)) != std::string::npos;)
            s[p] = '_';
    while (!s.empty() && static_cast<signed char>(s.back()) <= 32)
        s.pop_back();
    while (!s.empty() && static_cast<signed char>(s.front()) <= 32)
        s.erase(0, 1);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider d(data, size);
    if (d.ConsumeBool()) { // written lines read back
        std::string imena[4];
        const char* uk[4];
        for (int i = 0; i < 4; ++i)
            imena[i] = Imja(d), uk[i] = imena[i].c_str();
        const std::string t = ZyTekstAdresa(uk);
        for (int i = 0; i < 4; ++i) {
            std::string v;
            const bool est = ZyNajtiZnachenie(t.data(), t.size(), ZyKlyuchiScenw[i], v);
            ZY_PROVERIT(est == !imena[i].empty() && (!est || v == imena[i]),
                        "slot %d: '%s' read as '%s'", i + 1, imena[i].c_str(), v.c_str());
        }
        return 0;
    }
    const std::string kljuch = d.ConsumeBool() ? ZyKlyuchiScenw[d.ConsumeIntegralInRange<int>(0, 3)]
                                               : d.ConsumeRandomLengthString(20);
    const std::string k(kljuch.c_str()); // the reader takes a zero-ended key
    const std::string t = d.ConsumeRemainingBytesAsString();
    std::unique_ptr<char[]> buf(new char[t.size() ? t.size() : 1]);
    std::memcpy(buf.get(), t.data(), t.size());
    std::string v, ozhid;
    const bool est = ZyNajtiZnachenie(buf.get(), t.size(), k.c_str(), v);
    const bool dolzhno = !t.empty() && Etalon(t, k, ozhid);
    ZY_PROVERIT(est == dolzhno && (!est || v == ozhid), "key '%s': %d '%s', expected %d '%s'",
                k.c_str(), est, v.c_str(), dolzhno, ozhid.c_str());
    return 0;
}
