// The remembered up axes of models (see ZyOsModeli.h).
#include "ZyOsModeli.h"

#include "ZyFajlModeli.h"
#include "ZyVidModeli.h"

#include <windows.h>

#include <vector>

namespace zymodel {

namespace {

const char kFajl[] = "OsiModelej.txt";

// The file's lines as (axis, path) pairs; unreadable lines are dropped.
std::vector<std::pair<int, std::string>> Prochest(const std::string& papka) {
    std::vector<std::pair<int, std::string>> v;
    std::vector<unsigned char> b;
    if (ZyProchestFajl(papka + kFajl, b, 1u << 20) != ZYC_GOTOVO) return v;
    const std::string t(b.begin(), b.end());
    std::size_t i = 0;
    while (i < t.size()) {
        std::size_t k = t.find('\n', i);
        if (k == std::string::npos) k = t.size();
        std::string s = t.substr(i, k - i);
        if (!s.empty() && s.back() == '\r') s.pop_back();
        const std::size_t p = s.find(' ');
        const int os = p == std::string::npos ? -1 : ZyOsPoImeni(s.substr(0, p).c_str());
        if (os >= 0 && p + 1 < s.size()) v.emplace_back(os, s.substr(p + 1));
        i = k + 1;
    }
    return v;
}

} // namespace

int ZyVzOs(const std::string& papkaOkna, const std::string& put) {
    for (const auto& z : Prochest(papkaOkna))
        if (z.second == put) return z.first;
    return ZYO_PLUS_Y;
}

bool ZyVsOs(const std::string& papkaOkna, const std::string& put, int os) {
    std::string t = std::string(ZyImjaOsi(os)) + " " + put + "\r\n";
    unsigned strok = 1;
    for (const auto& z : Prochest(papkaOkna))
        if (z.second != put && strok++ < kMaksModelej)
            t += std::string(ZyImjaOsi(z.first)) + " " + z.second + "\r\n";
    // Written beside the file and moved over it, so that a full disk never leaves it cut.
    const std::wstring put1 = ZyShirokie(papkaOkna + kFajl), put2 = put1 + L".new";
    if (put1.empty()) return false;
    HANDLE h = CreateFileW(put2.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD zapisano = 0;
    const bool ok =
        WriteFile(h, t.data(), DWORD(t.size()), &zapisano, nullptr) && zapisano == t.size();
    CloseHandle(h);
    if (!ok || !MoveFileExW(put2.c_str(), put1.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(put2.c_str());
        return false;
    }
    return true;
}

} // namespace zymodel
