// Whether a scene name of the form "module\function" loads, for the mutation campaigns.
#ifndef IMJA_SCENY_H
#define IMJA_SCENY_H

#include <string>

namespace zytest {

// Whether a "module\function" name loads as the engine loads it (split at the last backslash,
// neither part empty); remembered per name.
bool Gruzitsja(const std::string& imja);

} // namespace zytest

#endif // IMJA_SCENY_H
