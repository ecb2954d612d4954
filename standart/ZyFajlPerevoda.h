// The translation file for the length of one request.
#ifndef ZYFAJLPEREVODA_H
#define ZYFAJLPEREVODA_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace zyst {

// The current directory, a backslash and `imja` (default "ZyPerevodTeksta.txt"); empty
// when there is no current directory.
std::string ZyPutFajlaPerevoda(const char* imja);

// The file opened in the current directory (created with its header when new or empty),
// mapped for reading, and held under a named lock derived from its path, so that requests of
// any thread or process append one after the other and never over each other. Everything is
// released on destruction.
class ZyFajlPerevoda {
public:
    ZyFajlPerevoda() = default;
    ~ZyFajlPerevoda();
    ZyFajlPerevoda(const ZyFajlPerevoda&) = delete;
    ZyFajlPerevoda& operator=(const ZyFajlPerevoda&) = delete;

    // Opens `imja` in the current directory. A file that cannot be written (read-only, or held
    // open against writing by another program) is still read. False when the file cannot be
    // created, opened or mapped.
    bool Otkryt(const char* imja);
    // The file's text as it was when it was opened.
    const char* Tekst() const { return tekst_; }
    std::size_t Razmer() const { return razmer_; }
    // Appends `zapis` in one write at the file's end. False, with the file as it was, when
    // the file is read-only, the lock could not be had, or the write failed (full disk); no
    // later append of this request is tried then.
    bool Dopisat(const std::string& zapis);

private:
    // Takes the named lock of the file at `put`.
    void Zaperet(const std::string& put);
    // Writes `dlina` bytes at `smeshenie`; true when all were written.
    bool Zapisat(const char* dannye, std::size_t dlina, std::uint64_t smeshenie);

    HANDLE zamok_ = nullptr;    // named mutex of this file's path
    bool zamokVzjat_ = false;   // appends are allowed: the lock is held (or none exists)
    bool zamokDerzhim_ = false; // the mutex is owned and must be released
    HANDLE fajl_ = INVALID_HANDLE_VALUE;
    bool pishushij_ = false;        // opened for writing and no append has failed
    HANDLE otobrazhenie_ = nullptr; // read-only mapping of the whole file
    const char* tekst_ = nullptr;   // its view (null for an empty file)
    std::size_t razmer_ = 0;        // bytes in the view
    std::uint64_t konec_ = 0;       // where the next append goes
};

} // namespace zyst

#endif // ZYFAJLPEREVODA_H
