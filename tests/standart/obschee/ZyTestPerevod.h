// Test helper: the exact bytes of a new translation file, the form of a new entry, and a raw
// translation block made the way any requester would make one.
#ifndef ZYTESTPEREVOD_H
#define ZYTESTPEREVOD_H

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace zytest {

// The translation file the library reads and extends in the current directory.
constexpr const char* kFajlPerevoda = "ZyPerevodTeksta.txt";

// The header of a new translation file, byte for byte (code page 1251, CR LF line ends).
inline const std::string& Zagolovok() {
    static const std::string z =
        "RU:   \xCD\xE8\xE6\xE5 \xEF\xF0\xE8\xE2\xEE\xE4\xE8\xF2\xF1\xFF \xF1\xEF\xE8\xF1\xEE"
        "\xEA \xE8\xF1\xEF\xEE\xEB\xFC\xE7\xF3\xE5\xEC\xFB\xF5 \xF1\xEE\xEE\xE1\xF9\xE5\xED"
        "\xE8\xE9, \xE0 \xE4\xE0\xEB\xE5\xE5 \xEF\xEE\xF1\xEB\xE5 \xE7\xED\xE0\xEA\xE0 "
        "\"=\"\r\n"
        "      \xE8\xF5 \xEF\xE5\xF0\xE5\xE2\xEE\xE4, \xEA\xEE\xF2\xEE\xF0\xFB\xE9 \xE1\xF3\xE4"
        "\xE5\xF2 \xE8\xF1\xEF\xEE\xEB\xFC\xE7\xEE\xE2\xE0\xF2\xF1\xFF \xEF\xF0\xE8 \xE2\xFB"
        "\xE2\xEE\xE4\xE5 \xED\xE0 \xFD\xEA\xF0\xE0\xED,\r\n"
        "      \xEF\xE5\xF0\xE5\xE2\xEE\xE4 \xE4\xEE\xEB\xE6\xE5\xED \xE7\xE0\xE2\xE5\xF0\xF8"
        "\xE0\xF2\xFC\xF1\xFF \xF2\xF0\xE5\xEC\xFF \xE7\xE2\xB8\xE7\xE4\xEE\xF7\xEA\xE0\xEC"
        "\xE8 \"***\".\r\n"
        "\r\n"
        "EN:   Below happens to an used reporting list, but hereinafter after the sign \"=\"\r\n"
        "      their translation, which will use at the conclusion on the screen,\r\n"
        "      translation must terminate three asterisks \"***\".\r\n"
        "\r\n"
        "\r\n"
        "***";
    return z;
}

// A new entry as the library appends it: CR LF, a blank, the key, CR LF, "=***".
inline std::string NovajaZapis(const std::string& kljuch) {
    return "\r\n " + kljuch + "\r\n=***";
}

// An entry with a translation, written the way a translator edits the file.
inline std::string Zapis(const std::string& kljuch, const std::string& perevod) {
    return "\r\n " + kljuch + "\r\n=" + perevod + "***";
}

// A page-file section holding a block header at `smeshenie` and the strings `stroki`
// (each with its zero, as given), released on destruction.
class ZySyrojBlok {
public:
    ZySyrojBlok(const char* imja, std::size_t razmer) {
        razdel_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     DWORD(razmer), imja);
        adres_ =
            razdel_ ? static_cast<char*>(MapViewOfFile(razdel_, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
    }
    ~ZySyrojBlok() {
        if (adres_) UnmapViewOfFile(adres_);
        if (razdel_) CloseHandle(razdel_);
    }
    ZySyrojBlok(const ZySyrojBlok&) = delete;
    ZySyrojBlok& operator=(const ZySyrojBlok&) = delete;

    // Writes a header (24, "ZYTEKST", `sostojanie`, the strings' size, 0) and the strings.
    void Zapolnit(const std::string& stroki, std::uint32_t sostojanie = 1,
                  std::size_t smeshenie = 0) {
        const std::uint32_t zag[6] = {24, 0, 0, sostojanie, std::uint32_t(stroki.size()), 0};
        std::memcpy(adres_ + smeshenie, zag, sizeof zag);
        std::memcpy(adres_ + smeshenie + 4, "ZYTEKST", 8);
        std::memcpy(adres_ + smeshenie + 24, stroki.data(), stroki.size());
    }
    char* Adres() const { return adres_; }
    std::uint32_t Pole(std::size_t smeshenie) const {
        std::uint32_t v;
        std::memcpy(&v, adres_ + smeshenie, 4);
        return v;
    }

private:
    HANDLE razdel_ = nullptr;
    char* adres_ = nullptr;
};

} // namespace zytest

#endif // ZYTESTPEREVOD_H
