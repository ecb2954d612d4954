// ZyScenaModel.dll: a scene that shows a Wavefront OBJ model named in the file "Model.txt" of
// the view window's data folder ("ZyGLDannwe\ZyGLOkno 000\Model.txt" for the first window).
//
// Scene functions (name them in "AdresaFyn.txt" or by NScena):
//   "ZyScenaModel.dll\ZyScenaModel1"  constructor       "ZyScenaModel.dll\ZyScenaModel2"
//   intermission "ZyScenaModel.dll\ZyScenaModel3"  frame "ZyScenaModel.dll\ZyScenaModel4"  end of
//   frame
// Each OBJ object or group is one selection name (ZY_MODEL_IMJA0 + its position in the file);
// a click focuses it and the view shows its name and its vertex and face counts.
#ifndef ZYSCENAMODEL_H
#define ZYSCENAMODEL_H

#include "ZyKGLOrvanta2.h"

#if defined(ZYSCENAMODEL_BUILD)
#define ZYSCENAMODEL_API __declspec(dllexport)
#else
#define ZYSCENAMODEL_API __declspec(dllimport)
#endif

// Selection name of the first part; part i (0-based, file order) is ZY_MODEL_IMJA0 + i.
enum : unsigned long { ZY_MODEL_IMJA0 = 0x4D000001ul };

// What the scene holds for one controller (for diagnostics, tests and benchmarks).
struct ZYS_SVODKA_MODELI {
    unsigned long chastej;      // parts (selection names); 0: empty scene
    unsigned long granej;       // faces of the model
    unsigned long treugolnikov; // triangles drawn
    unsigned long zagruzok;     // times the model file was read for this controller
    unsigned long kadrov;       // frames drawn (render mode only)
    unsigned long vybrana;      // selection name of the focused part, 0 for none
    float min[3], max[3];       // bounding box
    char tekst[160];            // the text the view shows ("" when no part is focused)
};

extern "C" {
ZYSCENAMODEL_API long ZyScenaModel1(Quorvel::ZYKGLKONTROL* k);
ZYSCENAMODEL_API long ZyScenaModel2(Quorvel::ZYKGLKONTROL* k);
ZYSCENAMODEL_API long ZyScenaModel3(Quorvel::ZYKGLKONTROL* k);
ZYSCENAMODEL_API long ZyScenaModel4(Quorvel::ZYKGLKONTROL* k);
// Navigation handler registered by name: F7 switches transparency of the background.
ZYSCENAMODEL_API int ZyScenaModelKlavisha(MSG* m);
// Copies the scene's state for controller `k` into *s; 1, or 0 when the scene never ran there.
ZYSCENAMODEL_API int ZyScenaModelSvodka(Quorvel::ZYKGLKONTROL* k, ZYS_SVODKA_MODELI* s);
}

#endif // ZYSCENAMODEL_H
