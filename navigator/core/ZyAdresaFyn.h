// The text of "AdresaFyn.txt" and the per-window paths (pure logic, internal to the engine).
#ifndef ZYADRESAFYN_H
#define ZYADRESAFYN_H

#include <cstddef>
#include <string>

namespace Quorvel {

// Keys of the four scene slots, in slot order.
extern const char* const ZyKlyuchiScenw[4];
// Built-in default names of the four slots.
extern const char* const ZyImenaPoUmolchaniju[4];

// Looks key `klyuch` up in `dlina` bytes of file text: the first occurrence of the key, the
// next "=" after it, the value up to the next ";" (or the end), trimmed of every byte that is
// at most 32 as a signed byte (so also 0x80..0xFF) at either end. False for no value.
bool ZyNajtiZnachenie(const char* tekst, size_t dlina, const char* klyuch, std::string& znach);

// The file text for four names: "<key> = <name>;" and CR LF per slot.
std::string ZyTekstAdresa(const char* const imena[4]);

// "ZyGLDannwe\ZyGLOkno <index, three digits>\<file>", relative to the current directory.
std::string ZyPutOkna(unsigned long index, const char* fajl);

} // namespace Quorvel

#endif
