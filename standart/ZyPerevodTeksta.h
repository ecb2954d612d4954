// The translator's answer for a text whose entry is in the translation file's kept text.
#ifndef ZYPEREVODTEKSTA_H
#define ZYPEREVODTEKSTA_H

#include <string>
#include <string_view>

namespace zyst {

// The answer for `stroka` (the translation or the text, with its quoted parts put back) from
// the text of `fajlName` in the current directory kept since an earlier request; false when
// nothing is kept for the file's present version or it has no entry for `stroka` (the request
// must then go through a block, which also collects the text).
bool ZyOtvetIzKesha(std::string_view stroka, const char* fajlName, std::string* otvet);

} // namespace zyst

#endif // ZYPEREVODTEKSTA_H
