// Whole-file reads and writes of the tests. Files are opened shared for reading and writing,
// so that a test can look at a file the library under test holds open.
#include "ZyTestFajly.h"

namespace zytest {

namespace {

// Writes `n` bytes at `dannye` as the whole content of `imja`.
bool Zapisat(const std::string& imja, const void* dannye, std::size_t n, DWORD atributy) {
    HANDLE h = CreateFileA(imja.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           CREATE_ALWAYS, atributy, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD zapisano = 0;
    const bool ok = n == 0 || WriteFile(h, dannye, DWORD(n), &zapisano, nullptr);
    CloseHandle(h);
    return ok && zapisano == n;
}

} // namespace

std::string ChitatFajl(const std::string& imja, bool* est) {
    HANDLE h = CreateFileA(imja.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (est) *est = h != INVALID_HANDLE_VALUE;
    std::string s;
    if (h == INVALID_HANDLE_VALUE) return s;
    std::vector<char> buf(65536);
    DWORD n = 0;
    while (ReadFile(h, buf.data(), DWORD(buf.size()), &n, nullptr) && n > 0)
        s.append(buf.data(), n);
    CloseHandle(h);
    return s;
}

std::vector<unsigned char> ChitatBajty(const std::string& imja) {
    const std::string s = ChitatFajl(imja);
    return std::vector<unsigned char>(s.begin(), s.end());
}

bool ZapisatFajl(const std::string& imja, const std::string& dannye, DWORD atributy) {
    return Zapisat(imja, dannye.data(), dannye.size(), atributy);
}

bool ZapisatBajty(const std::string& imja, const std::vector<unsigned char>& dannye,
                  DWORD atributy) {
    return Zapisat(imja, dannye.data(), dannye.size(), atributy);
}

long long RazmerFajla(const std::string& imja) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(imja.c_str(), GetFileExInfoStandard, &d)) return -1;
    return (static_cast<long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

bool UdalitFajl(const std::string& imja) {
    SetFileAttributesA(imja.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(imja.c_str()) || GetFileAttributesA(imja.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace zytest
