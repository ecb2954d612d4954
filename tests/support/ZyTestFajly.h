// Test helper: whole files read and written in one call, their sizes, and their removal.
#ifndef ZYTESTFAJLY_H
#define ZYTESTFAJLY_H

#include <windows.h>

#include <string>
#include <vector>

namespace zytest {

// The whole content of a file ("" when it cannot be opened; `est` tells which).
std::string ChitatFajl(const std::string& imja, bool* est = nullptr);

// The whole content of a file as bytes (none when it cannot be opened).
std::vector<unsigned char> ChitatBajty(const std::string& imja);

// Writes `dannye` as the whole content of `imja` (created or replaced, with `atributy`);
// whether every byte was written.
bool ZapisatFajl(const std::string& imja, const std::string& dannye,
                 DWORD atributy = FILE_ATTRIBUTE_NORMAL);

// The same for bytes.
bool ZapisatBajty(const std::string& imja, const std::vector<unsigned char>& dannye,
                  DWORD atributy = FILE_ATTRIBUTE_NORMAL);

// The size of a file by name, or -1 when there is none.
long long RazmerFajla(const std::string& imja);

// Deletes a file, hidden or read-only too; whether it is gone.
bool UdalitFajl(const std::string& imja);

} // namespace zytest

#endif // ZYTESTFAJLY_H
