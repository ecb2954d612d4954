// ZyModelObj: a Wavefront OBJ model read with tinyobjloader and checked before anything is
// drawn: the file's size and face count are bounded before parsing, every corner index is
// validated against the vertex list, polygons are split into triangles here (never by the
// loader, which would read the corners before anyone checked them), and each failure gives
// one code with the value that caused it. No OpenGL: the scene compiles the result.
#ifndef ZYMODELOBJ_H
#define ZYMODELOBJ_H

#include <string>
#include <vector>

namespace zymodel {

// Limits that keep a bad or oversized file from exhausting memory or time.
constexpr unsigned long long kMaksRazmer = 256ull << 20; // bytes of the OBJ file
constexpr unsigned long kMaksGranej = 2000000;           // faces (polygons) of the file
constexpr unsigned long kMaksTreugolnikov = 4000000;     // triangles after splitting

// Result of a load.
enum ZYE_MODEL : int {
    ZYM_GOTOVO = 0,       // loaded
    ZYM_NET_FAJLA,        // the file cannot be opened or read
    ZYM_BOLSHOJ,          // larger than kMaksRazmer
    ZYM_MNOGO_GRANEJ,     // more than kMaksGranej faces or kMaksTreugolnikov triangles
    ZYM_OSHIBKA_CHTENIJA, // the loader refused the text (e.g. a zero face index)
    ZYM_NE_OBJ,           // no vertex: not an OBJ model
    ZYM_NET_GRANEJ,       // vertices but no face
    ZYM_OBREZAN,          // a face with fewer than three corners (a file cut short)
    ZYM_UGLY,             // a face with more corners than the loader keeps (255)
    ZYM_INDEKS,           // a corner points outside the vertex list
    ZYM_CHISLO,           // a vertex coordinate that is not a finite number
    ZYM_PAMJAT,           // out of memory
};

// One OBJ object or group (a loader "shape"): one selection name in the scene.
struct ZYS_CHAST {
    std::string imja;                  // the group's name ("" for faces outside any group)
    unsigned long vershin = 0;         // distinct vertices its faces use
    unsigned long granej = 0;          // faces as written in the file
    std::vector<unsigned> treugolniki; // three vertex numbers (0-based) per triangle
    std::vector<int> materialy;        // material per triangle, -1 for none
    float min[3] = {0, 0, 0}, max[3] = {0, 0, 0}; // its bounding box
};

// A checked model.
struct ZYS_MODEL {
    std::vector<float> vershiny;                  // x, y, z per vertex
    std::vector<float> cveta;                     // diffuse red, green, blue per material (0..1)
    std::vector<ZYS_CHAST> chasti;                // in file order
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

// Reads and checks `put` (its .mtl files are looked up beside it). On failure `m` is empty.
ZYE_MODEL ZyZagruzitObj(const std::string& put, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o);

// The user's message for a failure: variable parts between double quotes, so that the
// translation file holds one entry per kind of failure.
std::string ZyTekstOshibki(const ZYS_OSHIBKA_MODELI& o, const std::string& put);

} // namespace zymodel

#endif // ZYMODELOBJ_H
