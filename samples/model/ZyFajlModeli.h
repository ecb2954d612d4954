// ZyFajlModeli: the files of a model by UTF-8 path. Paths are kept in UTF-8 inside the loaders
// and turned into UTF-16 only at the system calls, so that names such as "паук.obj" open on
// any system code page; texts for the user are turned into the system code page.
#ifndef ZYFAJLMODELI_H
#define ZYFAJLMODELI_H

#include <functional>
#include <string>
#include <vector>

namespace zymodel {

// Progress of a long step: the percentage done; returns false when the work is to stop.
using ZyfHod = std::function<bool(int procent)>;

// UTF-8 and UTF-16 of the same text ("" for text that does not convert).
std::wstring ZyShirokie(const std::string& utf8);
std::string ZyUtf8(const std::wstring& w);
// Text of the system code page (ANSI) as UTF-8.
std::string ZyUtf8IzAnsi(const std::string& ansi);
// UTF-8 text for the ANSI functions (message boxes, bitmap fonts): characters the code page
// lacks become '?'. Text that is not UTF-8 is returned unchanged.
std::string ZyAnsi(const std::string& utf8);
// Whether `t` is well-formed UTF-8.
bool ZyEtoUtf8(const std::string& t);

// The folder of `put` with its trailing separator ("" for a bare name), and the name alone.
std::string ZyPapka(const std::string& put);
std::string ZyImjaFajla(const std::string& put);
// `imja` taken from folder `papka` unless it is a full path ("C:\...", "\\server", "/...").
std::string ZyPutOt(const std::string& papka, const std::string& imja);
// The full form of a path (current folder resolved); the path itself when that fails.
std::string ZyPolnyjPut(const std::string& put);

// Result of reading a whole file.
enum ZYE_CHTENIE : int { ZYC_GOTOVO = 0, ZYC_NET, ZYC_BOLSHOJ, ZYC_PRERVANO };

// Reads the whole file `put` into `bajty`, refusing files above `predel` bytes; `hod` sees
// the percentage read and may stop the read.
ZYE_CHTENIE ZyProchestFajl(const std::string& put, std::vector<unsigned char>& bajty,
                           unsigned long long predel, const ZyfHod& hod = {});
// Whether `put` names an existing file (not a folder).
bool ZyFajlEst(const std::string& put);

// How a text file starts.
enum ZYE_KODIROVKA : int { ZYK_TEKST = 0, ZYK_UTF8_BOM, ZYK_UTF16 };
// The encoding mark of `b` (UTF-16 also without a mark, by zero bytes among the first ones).
ZYE_KODIROVKA ZyKodirovka(const unsigned char* b, std::size_t n);

} // namespace zymodel

#endif // ZYFAJLMODELI_H
