// The files of a model by UTF-8 path (see ZyFajlModeli.h).
#include "ZyFajlModeli.h"

#include <windows.h>

#include <algorithm>

namespace zymodel {

namespace {

// Owns a file handle.
struct ZyFajl {
    HANDLE h;
    explicit ZyFajl(const std::wstring& put)
        : h(CreateFileW(put.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ZyFajl() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    ZyFajl(const ZyFajl&) = delete;
    ZyFajl& operator=(const ZyFajl&) = delete;
};

// `t` in code page `cp` converted to UTF-16; false when it does not convert.
bool VShirokie(const std::string& t, UINT cp, DWORD flagi, std::wstring& w) {
    w.clear();
    if (t.empty()) return true;
    const int n = MultiByteToWideChar(cp, flagi, t.data(), int(t.size()), nullptr, 0);
    if (n <= 0) return false;
    w.resize(std::size_t(n));
    return MultiByteToWideChar(cp, flagi, t.data(), int(t.size()), &w[0], n) == n;
}

// UTF-16 converted to code page `cp` ("" when it does not convert).
std::string IzShirokih(const std::wstring& w, UINT cp) {
    if (w.empty()) return std::string();
    const int n = WideCharToMultiByte(cp, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string t(std::size_t(n), '\0');
    WideCharToMultiByte(cp, 0, w.data(), int(w.size()), &t[0], n, nullptr, nullptr);
    return t;
}

} // namespace

std::wstring ZyShirokie(const std::string& utf8) {
    std::wstring w;
    return VShirokie(utf8, CP_UTF8, MB_ERR_INVALID_CHARS, w) ? w : std::wstring();
}

std::string ZyUtf8(const std::wstring& w) {
    return IzShirokih(w, CP_UTF8);
}

std::string ZyUtf8IzAnsi(const std::string& ansi) {
    std::wstring w;
    return VShirokie(ansi, CP_ACP, 0, w) ? ZyUtf8(w) : ansi;
}

bool ZyEtoUtf8(const std::string& t) {
    std::wstring w;
    return VShirokie(t, CP_UTF8, MB_ERR_INVALID_CHARS, w);
}

std::string ZyAnsi(const std::string& utf8) {
    std::wstring w;
    if (!VShirokie(utf8, CP_UTF8, MB_ERR_INVALID_CHARS, w)) return utf8;
    return IzShirokih(w, CP_ACP);
}

std::string ZyPapka(const std::string& put) {
    const std::size_t i = put.find_last_of("\\/");
    return i == std::string::npos ? std::string() : put.substr(0, i + 1);
}

std::string ZyImjaFajla(const std::string& put) {
    const std::size_t i = put.find_last_of("\\/");
    return i == std::string::npos ? put : put.substr(i + 1);
}

std::string ZyPutOt(const std::string& papka, const std::string& imja) {
    const bool polnyj = (imja.size() > 1 && imja[1] == ':') ||
                        (!imja.empty() && (imja[0] == '\\' || imja[0] == '/'));
    return polnyj ? imja : papka + imja;
}

std::string ZyPolnyjPut(const std::string& put) {
    const std::wstring w = ZyShirokie(put);
    if (w.empty()) return put;
    const DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
    if (n == 0) return put;
    std::wstring p(n, L'\0');
    const DWORD m = GetFullPathNameW(w.c_str(), n, &p[0], nullptr);
    if (m == 0 || m >= n) return put;
    p.resize(m);
    return ZyUtf8(p);
}

ZYE_CHTENIE ZyProchestFajl(const std::string& put, std::vector<unsigned char>& bajty,
                           unsigned long long predel, const ZyfHod& hod) {
    bajty.clear();
    const std::wstring w = ZyShirokie(put);
    if (w.empty()) return ZYC_NET;
    ZyFajl f(w);
    if (f.h == INVALID_HANDLE_VALUE) return ZYC_NET;
    LARGE_INTEGER razmer{};
    if (!GetFileSizeEx(f.h, &razmer)) return ZYC_NET;
    if (static_cast<unsigned long long>(razmer.QuadPart) > predel) return ZYC_BOLSHOJ;
    bajty.resize(static_cast<std::size_t>(razmer.QuadPart));
    std::size_t prochitano = 0;
    while (prochitano < bajty.size()) {
        DWORD porcija = 0;
        const DWORD nado =
            static_cast<DWORD>(std::min<std::size_t>(bajty.size() - prochitano, 1u << 22));
        if (!ReadFile(f.h, &bajty[prochitano], nado, &porcija, nullptr) || porcija == 0) {
            bajty.clear();
            return ZYC_NET;
        }
        prochitano += porcija;
        if (hod && !hod(int(100.0 * double(prochitano) / double(bajty.size())))) {
            bajty.clear();
            return ZYC_PRERVANO;
        }
    }
    return ZYC_GOTOVO;
}

bool ZyFajlEst(const std::string& put) {
    const std::wstring w = ZyShirokie(put);
    if (w.empty()) return false;
    const DWORD a = GetFileAttributesW(w.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

ZYE_KODIROVKA ZyKodirovka(const unsigned char* b, std::size_t n) {
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return ZYK_UTF8_BOM;
    if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF)))
        return ZYK_UTF16;
    // Without a mark: ASCII text in UTF-16 has a zero byte in every other place and none
    // between them.
    const std::size_t m = std::min<std::size_t>(n, 64) & ~std::size_t(1);
    std::size_t nulej[2] = {0, 0};
    for (std::size_t i = 0; i < m; ++i)
        nulej[i & 1] += b[i] == 0;
    const std::size_t pol = m / 2;
    const bool le = nulej[1] * 10 >= pol * 9 && nulej[0] * 10 <= pol;
    const bool be = nulej[0] * 10 >= pol * 9 && nulej[1] * 10 <= pol;
    return m >= 4 && (le || be) ? ZYK_UTF16 : ZYK_TEKST;
}

} // namespace zymodel
