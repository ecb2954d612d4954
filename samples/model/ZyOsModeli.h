// ZyOsModeli: the up axis the user chose for each model, remembered in the file "OsiModelej.txt"
// of the view window's data folder: one line per model, the axis ("+Z"), a blank, the model's
// full path in UTF-8; the most recent first, at most kMaksModelej lines.
#ifndef ZYOSMODELI_H
#define ZYOSMODELI_H

#include <string>

namespace zymodel {

constexpr unsigned kMaksModelej = 200;

// The remembered axis of model `put` (a ZYE_OS), or ZYO_PLUS_Y when there is none.
int ZyVzOs(const std::string& papkaOkna, const std::string& put);

// Remembers axis `os` for model `put`; false when the file cannot be written (then the old
// file is left as it was).
bool ZyVsOs(const std::string& papkaOkna, const std::string& put, int os);

} // namespace zymodel

#endif // ZYOSMODELI_H
