// The variable parts of a text: what stands between each pair of double quotes. They are cut
// out before a lookup, so that one entry of the translation file serves every instance of a
// message, and put back into the translation afterwards. Pure logic.
#ifndef ZYKAVYCHKI_H
#define ZYKAVYCHKI_H

#include <string>
#include <vector>

namespace zyst {

// Removes the contents of every pair of double quotes from `tekst` (the quotes stay) and
// returns them in order. A last, unpaired quote is left as it is.
std::vector<std::string> ZyVyrezatChasti(std::string& tekst);

// Puts `chasti` in order between the successive pairs of double quotes of `tekst`, replacing
// what stands there; parts beyond the last pair are dropped.
void ZyVstavitChasti(std::string& tekst, const std::vector<std::string>& chasti);

} // namespace zyst

#endif // ZYKAVYCHKI_H
