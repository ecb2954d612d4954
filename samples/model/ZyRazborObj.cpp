// Reading the text of an OBJ file in parallel pieces (see ZyRazborObj.h).
#include "ZyRazborObj.h"

#include "ZyPotoki.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace zymodel {

namespace {

// Pieces smaller than this are not worth a thread of their own.
constexpr std::size_t kMinKusok = 1 << 20;
// Faces a piece reads between two looks at the shared counts.
constexpr std::size_t kGranejMezhduProverkami = 1 << 14;

bool Probel(char c) {
    return c == ' ' || c == '\t';
}
bool KonecStroki(char c) {
    return c == '\n' || c == '\r';
}

// What the pieces share: the limits' counts, the stop, the progress.
struct ZYS_OBSHCHEE_RAZBORA {
    std::atomic<unsigned long long> granej{0}, treugolnikov{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> mnogo{false};
    std::atomic<std::size_t> prochitano{0};
};

// One piece of the text and what was read from it; indices that count back from the
// piece's vertices so far (negative ones) are fixed when the pieces are joined.
struct ZYS_KUSOK {
    const char* nach;
    const char* kon;
    std::vector<float> v, cveta, vt;
    bool vseCveta = true;
    std::vector<int> ugolV, ugolVt;
    bool estVt = false; // a corner has a texture coordinate: ugolVt holds one per corner
    std::vector<unsigned> uglov;
    std::vector<ZYS_SOBYTIE_OBJ> sobytija;
    std::vector<std::size_t> otnV, otnVt; // corners whose index counts from the piece's start
    std::size_t korotkih = 0;
    bool konechnye = true;
    bool mnogo = false;    // a face of more corners than the model may have triangles
    std::size_t strok = 0; // line ends read
    bool oshibka = false;
    std::size_t strokaOshibki = 0; // 0-based within the piece
};

// Skips blanks.
const char* Probely(const char* p, const char* e) {
    while (p < e && Probel(*p))
        ++p;
    return p;
}

// The end of the word at p (blanks and line ends end it).
const char* KonecSlova(const char* p, const char* e) {
    while (p < e && !Probel(*p) && !KonecStroki(*p))
        ++p;
    return p;
}

// The number that starts word [p, e) (a leading "+" allowed); false when it starts none.
// Beyond a float's range: infinity, or zero below it.
bool Chislo(const char* p, const char* e, float& x) {
    if (p < e && *p == '+') ++p;
    const std::from_chars_result r = std::from_chars(p, e, x);
    if (r.ec == std::errc()) return true;
    if (r.ec != std::errc::result_out_of_range) return false;
    char b[72];
    const std::size_t n = std::min<std::size_t>(std::size_t(r.ptr - p), sizeof b - 1);
    std::memcpy(b, p, n);
    b[n] = '\0';
    x = static_cast<float>(std::strtod(b, nullptr));
    return true;
}

// The whole number at p, its sign allowed; advances p; false when there is none.
bool Celoe(const char*& p, const char* e, long long& x) {
    const char* s = p;
    if (s < e && *s == '+') ++s;
    const std::from_chars_result r = std::from_chars(s, e, x);
    if (r.ec == std::errc::result_out_of_range) {
        x = (s < e && *s == '-') ? -(1ll << 40) : (1ll << 40); // far outside any vertex list
    } else if (r.ec != std::errc()) {
        return false;
    }
    p = r.ptr;
    return true;
}

// The rest of the line from p, trailing blanks cut.
std::string Ostatok(const char* p, const char* e) {
    p = Probely(p, e);
    const char* k = p;
    while (k < e && !KonecStroki(*k))
        ++k;
    while (k > p && Probel(k[-1]))
        --k;
    return std::string(p, k);
}

// The words of the line from p joined by single blanks.
std::string Slova(const char* p, const char* e) {
    std::string s;
    for (p = Probely(p, e); p < e && !KonecStroki(*p); p = Probely(p, e)) {
        const char* k = KonecSlova(p, e);
        if (!s.empty()) s += ' ';
        s.append(p, k);
        p = k;
    }
    return s;
}

// A "v" line: three coordinates (0 for a missing one), then a colour when three more
// numbers follow.
void Vershina(ZYS_KUSOK& k, const char* p, const char* e) {
    float x[6] = {0, 0, 0, 1, 1, 1};
    int est = 0;
    for (int i = 0; i < 6; ++i) {
        p = Probely(p, e);
        const char* s = KonecSlova(p, e);
        if (s == p) break;
        if (Chislo(p, s, x[i]))
            ++est;
        else if (i >= 3)
            break;
        p = s;
    }
    for (int i = 0; i < 3; ++i)
        k.konechnye = k.konechnye && std::isfinite(x[i]);
    k.v.insert(k.v.end(), x, x + 3);
    if (est < 6) k.vseCveta = false;
    if (k.vseCveta) k.cveta.insert(k.cveta.end(), x + 3, x + 6);
}

// A "vt" line: two coordinates, 0 for a missing one.
void Tekstura(ZYS_KUSOK& k, const char* p, const char* e) {
    float x[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        p = Probely(p, e);
        const char* s = KonecSlova(p, e);
        Chislo(p, s, x[i]);
        p = s;
    }
    k.vt.insert(k.vt.end(), x, x + 2);
}

// Stores index `x` (1-based, or negative: back from the `skolko` read so far in the piece)
// of a corner into `kuda`; false for 0.
bool Indeks(long long x, std::size_t skolko, std::vector<int>& kuda,
            std::vector<std::size_t>& otnositelnye) {
    if (x == 0) return false;
    const long long predel = 1ll << 31;
    if (x > 0) {
        kuda.push_back(int(std::min(x - 1, predel - 1)));
    } else {
        otnositelnye.push_back(kuda.size());
        kuda.push_back(int(std::max(static_cast<long long>(skolko) + x, -predel + 1)));
    }
    return true;
}

// An "f" line: corners "v", "v/vt", "v//vn" or "v/vt/vn" (a "#" ends the line); false for a
// corner that is not a vertex number.
bool Gran(ZYS_KUSOK& k, const char* p, const char* e) {
    unsigned uglov = 0;
    for (p = Probely(p, e); p < e && !KonecStroki(*p) && *p != '#'; p = Probely(p, e)) {
        long long v = 0;
        if (!Celoe(p, e, v) || !Indeks(v, k.v.size() / 3, k.ugolV, k.otnV)) return false;
        long long vt = 0;
        bool estVt = false;
        if (p < e && *p == '/') {
            ++p;
            estVt = p < e && *p != '/' && Celoe(p, e, vt) && vt != 0;
            if (p < e && *p == '/') {
                ++p;
                long long vn = 0;
                Celoe(p, e, vn); // normals are not used: faces are shaded flat
            }
        }
        if (estVt && !k.estVt) {
            k.ugolVt.assign(k.ugolV.size() - 1, -1);
            k.estVt = true;
        }
        if (k.estVt) {
            if (estVt)
                Indeks(vt, k.vt.size() / 2, k.ugolVt, k.otnVt);
            else
                k.ugolVt.push_back(-1);
        }
        if (++uglov > kMaksTreugolnikov + 2) { // the rest is not kept: the model is refused
            k.mnogo = true;
            break;
        }
        if (p < e && !Probel(*p) && !KonecStroki(*p) && *p != '#') return false;
    }
    k.uglov.push_back(uglov);
    if (uglov < 3) ++k.korotkih;
    return true;
}

// Whether line p starts with keyword `s` followed by a blank (or the line's end).
bool Slovo(const char* p, const char* e, const char* s, std::size_t n) {
    return std::size_t(e - p) >= n && std::memcmp(p, s, n) == 0 &&
           (std::size_t(e - p) == n || Probel(p[n]) || KonecStroki(p[n]));
}

// Reads piece `k`; `konecTeksta` bounds the look past its end (a CR LF cut in two).
void Prochest(ZYS_KUSOK& k, const char* konecTeksta, ZYS_OBSHCHEE_RAZBORA& ob) {
    const char* p = k.nach;
    const char* e = k.kon;
    std::size_t uchteno = 0;
    unsigned long long treugolnikovDo = 0;
    const char* otchet = p;
    while (p < e) {
        const char* s = Probely(p, e);
        if (s + 1 < e && s[0] == 'v' && Probel(s[1])) {
            Vershina(k, s + 2, e);
        } else if (s + 1 < e && s[0] == 'f' && Probel(s[1])) {
            if (!Gran(k, s + 2, e)) {
                // The other pieces go on: the first such line of the file is the one named.
                k.oshibka = true;
                k.strokaOshibki = k.strok;
                return;
            }
            if (k.mnogo) {
                ob.mnogo = true;
                ob.stop = true;
                return;
            }
            const unsigned u = k.uglov.back();
            if (u >= 3) treugolnikovDo += u - 2;
            if (k.uglov.size() - uchteno >= kGranejMezhduProverkami) {
                const unsigned long long g = ob.granej += k.uglov.size() - uchteno;
                const unsigned long long t = ob.treugolnikov += treugolnikovDo;
                uchteno = k.uglov.size();
                treugolnikovDo = 0;
                if (g > kMaksGranej || t > kMaksTreugolnikov) {
                    ob.mnogo = true;
                    ob.stop = true;
                }
                if (ob.stop) return;
            }
        } else if (s + 2 < e && s[0] == 'v' && s[1] == 't' && Probel(s[2])) {
            Tekstura(k, s + 3, e);
        } else if (s + 1 < e && (s[0] == 'g' || s[0] == 'o') &&
                   (Probel(s[1]) || KonecStroki(s[1]))) {
            const bool gruppa = s[0] == 'g';
            k.sobytija.push_back({k.uglov.size(), gruppa ? ZYSO_GRUPPA : ZYSO_OBJEKT,
                                  gruppa ? Slova(s + 1, e) : Ostatok(s + 1, e)});
        } else if (Slovo(s, e, "usemtl", 6)) {
            const char* n = Probely(s + 6, e);
            k.sobytija.push_back({k.uglov.size(), ZYSO_MATERIAL, std::string(n, KonecSlova(n, e))});
        } else if (Slovo(s, e, "mtllib", 6)) {
            k.sobytija.push_back({k.uglov.size(), ZYSO_BIBLIOTEKA, Ostatok(s + 6, e)});
        }
        // The line's end: LF, CR or CR LF.
        while (p < e && !KonecStroki(*p))
            ++p;
        if (p < e) {
            if (*p == '\r' && p + 1 < konecTeksta && p[1] == '\n') ++p;
            ++p;
            ++k.strok;
        }
        if (p - otchet >= (1 << 20)) {
            ob.prochitano += std::size_t(p - otchet);
            otchet = p;
            if (ob.stop) return;
        }
    }
    ob.prochitano += std::size_t(p - otchet);
    const unsigned long long g = ob.granej += k.uglov.size() - uchteno;
    const unsigned long long t = ob.treugolnikov += treugolnikovDo;
    if (g > kMaksGranej || t > kMaksTreugolnikov) {
        ob.mnogo = true;
        ob.stop = true;
    }
}

// Cuts t[0..n-1] into up to `kolichestvo` pieces at line ends.
std::vector<ZYS_KUSOK> Razrezat(const char* t, std::size_t n, unsigned kolichestvo) {
    const std::size_t kol =
        std::max<std::size_t>(1, std::min<std::size_t>(kolichestvo, n / kMinKusok));
    std::vector<ZYS_KUSOK> kuski;
    const char* nach = t;
    for (std::size_t i = 1; i <= kol; ++i) {
        const char* kon = t + n * i / kol;
        while (kon < t + n && kon > nach && !KonecStroki(kon[-1]))
            ++kon;
        if (kon < t + n && kon > nach && kon[-1] == '\r' && *kon == '\n') ++kon; // CR LF whole
        if (kon <= nach) continue;
        ZYS_KUSOK k;
        k.nach = nach;
        k.kon = kon;
        kuski.push_back(std::move(k));
        nach = kon;
    }
    return kuski;
}

// Appends `iz` to `kuda` and frees `iz`.
template <class T> void Dobavit(std::vector<T>& kuda, std::vector<T>& iz) {
    kuda.insert(kuda.end(), iz.begin(), iz.end());
    std::vector<T>().swap(iz);
}

// Joins the pieces in file order into `r`, turning their relative indices into indices of
// the whole file.
void Soedinit(std::vector<ZYS_KUSOK>& kuski, ZYS_RAZBOR_OBJ& r) {
    std::size_t v = 0, vt = 0, ugly = 0, granej = 0;
    bool vseCveta = true, estVt = false;
    for (const ZYS_KUSOK& k : kuski) {
        v += k.v.size();
        vt += k.vt.size();
        ugly += k.ugolV.size();
        granej += k.uglov.size();
        vseCveta = vseCveta && k.vseCveta;
        estVt = estVt || k.estVt;
    }
    r.v.reserve(v);
    r.vt.reserve(vt);
    r.ugolV.reserve(ugly);
    r.uglov.reserve(granej);
    if (vseCveta) r.cveta.reserve(v);
    if (estVt) r.ugolVt.reserve(ugly);
    for (ZYS_KUSOK& k : kuski) {
        const int v0 = int(r.v.size() / 3), vt0 = int(r.vt.size() / 2);
        const std::size_t g0 = r.uglov.size();
        for (std::size_t i : k.otnV)
            k.ugolV[i] += v0;
        for (std::size_t i : k.otnVt)
            k.ugolVt[i] += vt0;
        Dobavit(r.v, k.v);
        Dobavit(r.vt, k.vt);
        if (vseCveta) Dobavit(r.cveta, k.cveta);
        if (estVt) {
            if (!k.estVt)
                r.ugolVt.resize(r.ugolVt.size() + k.ugolV.size(), -1);
            else
                Dobavit(r.ugolVt, k.ugolVt);
        }
        Dobavit(r.ugolV, k.ugolV);
        Dobavit(r.uglov, k.uglov);
        for (ZYS_SOBYTIE_OBJ& s : k.sobytija) {
            s.gran += g0;
            r.sobytija.push_back(std::move(s));
        }
        r.konechnye = r.konechnye && k.konechnye;
    }
}

} // namespace

ZYE_MODEL ZyRazobratTekstObj(const char* t, std::size_t n, unsigned potokov, ZYS_RAZBOR_OBJ& r,
                             ZYS_OSHIBKA_MODELI& o, const ZyfHod& hod) {
    r = ZYS_RAZBOR_OBJ();
    std::vector<ZYS_KUSOK> kuski = Razrezat(t, n, potokov);
    ZYS_OBSHCHEE_RAZBORA ob;
    bool prervano = false;
    ZyParallelno(
        kuski.size(), potokov, [&](std::size_t i) { Prochest(kuski[i], t + n, ob); },
        [&] {
            if (!hod ||
                hod(int(100.0 * double(ob.prochitano) / double(std::max<std::size_t>(n, 1)))))
                return true;
            prervano = true;
            return false;
        },
        ob.stop);
    if (prervano) return ZyOshibka(o, ZYM_PRERVANO);
    if (ob.mnogo) {
        const bool granej = ob.granej > kMaksGranej;
        return ZyOshibka(o, ZYM_MNOGO_GRANEJ, 0, granej ? kMaksGranej : kMaksTreugolnikov);
    }
    std::size_t korotkih = 0, strok = 0;
    for (const ZYS_KUSOK& k : kuski)
        korotkih += k.korotkih;
    if (korotkih) return ZyOshibka(o, ZYM_OBREZAN, static_cast<long long>(korotkih));
    for (const ZYS_KUSOK& k : kuski) {
        if (k.oshibka) {
            o.tekst = "a face line has a corner that is not a vertex number (line " +
                      std::to_string(strok + k.strokaOshibki + 1) + ")";
            return ZyOshibka(o, ZYM_OSHIBKA_CHTENIJA);
        }
        strok += k.strok;
    }
    Soedinit(kuski, r);
    return ZYM_GOTOVO;
}

} // namespace zymodel
