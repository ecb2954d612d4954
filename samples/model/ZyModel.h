// ZyModel: a user's model read from a Wavefront OBJ file or a glTF 2.0 file (.gltf with its
// buffers and images, or .glb), checked before anything is drawn. The result is an in-memory
// mesh per object (a selection name of the scene): its own vertices (position, optional colour
// and texture coordinates) and triangles that index them, with a material per triangle. Every
// failure gives one code with the value that caused it. No OpenGL: the scene compiles the
// result.
#ifndef ZYMODEL_H
#define ZYMODEL_H

#include "ZyFajlModeli.h"

#include <string>
#include <vector>

namespace zymodel {

// Limits that keep a bad or oversized file from exhausting memory or time: a 64-bit process
// holds tens of millions of triangles, a 32-bit one what its 2 GB of address space allow.
#if defined(_WIN64)
constexpr unsigned long long kMaksRazmer = 2048ull << 20; // bytes of a model file or buffer
constexpr unsigned long kMaksGranej = 30000000;           // faces (polygons) of the model
constexpr unsigned long kMaksTreugolnikov = 30000000;     // triangles after splitting
#else
constexpr unsigned long long kMaksRazmer = 256ull << 20;
constexpr unsigned long kMaksGranej = 2000000;
constexpr unsigned long kMaksTreugolnikov = 4000000;
#endif
constexpr unsigned kMaksStoronyTekstury = 8192; // pixels along a texture's side

// Result of a load.
enum ZYE_MODEL : int {
    ZYM_GOTOVO = 0,       // loaded
    ZYM_NET_FAJLA,        // the file cannot be opened or read
    ZYM_BOLSHOJ,          // larger than kMaksRazmer
    ZYM_MNOGO_GRANEJ,     // more than kMaksGranej faces or kMaksTreugolnikov triangles
    ZYM_OSHIBKA_CHTENIJA, // the loader refused the text (its message in `tekst`)
    ZYM_NE_OBJ,           // no vertex: not a model
    ZYM_NET_GRANEJ,       // vertices but no face
    ZYM_OBREZAN,          // a face with fewer than three corners (a file cut short)
    ZYM_INDEKS,           // a corner points outside the vertex list
    ZYM_CHISLO,           // a vertex coordinate that is not a finite number
    ZYM_PAMJAT,           // out of memory
    ZYM_UTF16,            // a UTF-16 text file
    ZYM_PRERVANO,         // stopped before the end (another model was asked for)
};

// One object: one selection name in the scene.
struct ZYS_CHAST {
    std::string imja;                  // UTF-8 ("" for faces outside any group)
    unsigned long vershin = 0;         // distinct vertex positions its faces use
    unsigned long granej = 0;          // faces (polygons) as written in the file
    std::vector<float> tochki;         // x, y, z per vertex
    std::vector<float> cveta;          // red, green, blue per vertex (0..1); empty: none
    std::vector<float> uv;             // s, t per vertex (t = 0 at the image's first row)
    std::vector<unsigned> treugolniki; // three vertex numbers (0-based) per triangle
    std::vector<int> materialy;        // material per triangle, -1 for none
    std::vector<unsigned char> shov;   // per vertex, 1 where another part shares its position
                                       // (a seam the coarser levels keep closed); empty: none
    float min[3] = {0, 0, 0}, max[3] = {0, 0, 0}; // its bounding box
};

// A material: the diffuse (base) colour and the texture that modulates it.
struct ZYS_MATERIAL {
    float cvet[3] = {0.7f, 0.7f, 0.7f};
    int tekstura = -1; // index into ZYS_MODEL::tekstury, -1 for none
};

// A decoded texture: rows from the image's top, four bytes (RGBA) a pixel.
struct ZYS_TEKSTURA {
    unsigned shirina = 0, vysota = 0;
    std::vector<unsigned char> rgba;
};

// A checked model.
struct ZYS_MODEL {
    std::vector<ZYS_CHAST> chasti; // in file order
    std::vector<ZYS_MATERIAL> materialy;
    std::vector<ZYS_TEKSTURA> tekstury;
    std::vector<std::string> bezTekstur;          // textures that could not be read (names, UTF-8)
    float min[3] = {0, 0, 0}, max[3] = {0, 0, 0}; // bounding box of every used vertex
    unsigned long granej = 0, treugolnikov = 0;
};

// Why a load failed, with the value to report.
struct ZYS_OSHIBKA_MODELI {
    ZYE_MODEL kod = ZYM_GOTOVO;
    long long znachenie = 0;  // the offending number (index, count, size in MB)
    unsigned long predel = 0; // the bound it broke (vertex count, limit)
    std::string tekst;        // the loader's own first error line (ZYM_OSHIBKA_CHTENIJA)
};

// Reads and checks the model `put` (UTF-8; OBJ, glTF or GLB, told by the content); its
// materials, buffers and images are looked up beside it. `hod` sees the percentage done and
// may stop the load (ZYM_PRERVANO). On failure `m` is empty.
ZYE_MODEL ZyZagruzitModel(const std::string& put, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o,
                          const ZyfHod& hod = {});

// The user's message for a failure (in the system code page): variable parts between double
// quotes, so that the translation file holds one entry per kind of failure.
std::string ZyTekstOshibki(const ZYS_OSHIBKA_MODELI& o, const std::string& put);

// Sets the failure and returns its code (for the loaders).
ZYE_MODEL ZyOshibka(ZYS_OSHIBKA_MODELI& o, ZYE_MODEL kod, long long znachenie = 0,
                    unsigned long predel = 0);

// Grows the box [mn, mx] by the point p (the first point sets it).
void ZyRasshirit(float* mn, float* mx, const float* p, bool pervaja);

} // namespace zymodel

#endif // ZYMODEL_H
