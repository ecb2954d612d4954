// ZyScenaModel.dll: a scene that shows a user's model (Wavefront OBJ, glTF 2.0 .gltf or .glb):
// the file a host registered with ZyScenaModelFajl and named by its key in the controller's
// sceneParam, else the file named in "Model.txt" of the view window's data folder
// ("ZyGLDannwe\ZyGLOkno 000\Model.txt" for the first window). A file dropped onto the view
// replaces the model. F5 frames the model again, F6 steps through the up axes (remembered per
// model), F7 switches the transparency of the background.
//
// Scene functions (name them in "AdresaFyn.txt" or by NScena):
//   "ZyScenaModel.dll\ZyScenaModel1"  constructor       "ZyScenaModel.dll\ZyScenaModel2"
//   intermission "ZyScenaModel.dll\ZyScenaModel3"  frame "ZyScenaModel.dll\ZyScenaModel4"  end of
//   frame
// Each OBJ object or group, or glTF node with a mesh, is one selection name (ZY_MODEL_IMJA0 + its
// position in the file); a click focuses it and the view shows its name and its vertex and face
// counts. While the eye moves (a motion bit of Flagi set) the scene draws a coarser level of
// the model, the finest whose last measured drawing time fits three quarters of the frame
// period; at rest, and for every pick, the full model. After a model is shown, the scene posts the
// registered message ZY_SOOB_MODEL_FAJL (wParam: the file's key) to the view's top-level window, so
// that a host can show its name.
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
    unsigned long chastej;                // parts (selection names); 0: empty scene
    unsigned long granej;                 // faces of the model
    unsigned long treugolnikov;           // triangles drawn
    unsigned long zagruzok;               // times the model file was read for this controller
    unsigned long kadrov;                 // frames drawn (render mode only)
    unsigned long vybrana;                // selection name of the focused part, 0 for none
    float min[3], max[3];                 // bounding box
    char tekst[160];                      // the text the view shows ("" when no part is focused)
    unsigned long zagruzka;               // 1 while a model file is being read
    unsigned long os;                     // the up axis: 0 +Y, 1 +Z, 2 +X, 3 -Y, 4 -Z, 5 -X
    unsigned long tekstur;                // texture objects of the model
    char fajl[520];                       // the model file shown or being read (UTF-8)
    unsigned long urovnej;                // levels of detail, the full model (level 0) included
    unsigned long treugolnikovUrovnja[8]; // triangles of levels 0..7 (0 past the last)
    unsigned long treugolnikovKadra;      // triangles the last rendered frame drew
    unsigned long urovenKadra;            // its level
    unsigned long kadrovVDvizhenii;       // rendered frames drawn while the eye moved
    unsigned long long bajtov;            // bytes of the levels' vertex and index arrays
    unsigned long bufery;                 // 1: in vertex buffers; 0: in lists of indexed arrays
};

// How a controller draws its model (ZyScenaModelRisovanie), for tests and benchmarks.
enum : unsigned long {
    ZY_RISOVANIE_UROVNI = 0,          // coarser levels while the eye moves (the default)
    ZY_RISOVANIE_POLNOE = 1,          // the full model in every frame
    ZY_RISOVANIE_ETALON = 2,          // each part's immediate-mode list (made by loads started so)
    ZY_RISOVANIE_VID = 0xFF,          // the three above
    ZY_RISOVANIE_BEZ_BUFEROV = 0x100, // flag: lists of indexed arrays even where vertex
                                      // buffers exist (from the next model shown)
};

// The name of the message registered (RegisterWindowMessageA) for "a model is shown".
#define ZY_SOOB_MODEL_FAJL "ZyScenaModel Fajl"

extern "C" {
ZYSCENAMODEL_API long ZyScenaModel1(Quorvel::ZYKGLKONTROL* k);
ZYSCENAMODEL_API long ZyScenaModel2(Quorvel::ZYKGLKONTROL* k);
ZYSCENAMODEL_API long ZyScenaModel3(Quorvel::ZYKGLKONTROL* k);
ZYSCENAMODEL_API long ZyScenaModel4(Quorvel::ZYKGLKONTROL* k);
// Navigation handler registered by name: F7 switches transparency of the background.
ZYSCENAMODEL_API int ZyScenaModelKlavisha(MSG* m);
// Copies the scene's state for controller `k` into *s; 1, or 0 when the scene never ran there.
ZYSCENAMODEL_API int ZyScenaModelSvodka(Quorvel::ZYKGLKONTROL* k, ZYS_SVODKA_MODELI* s);
// Sets how controller `k` draws its model from the next frame on (ZY_RISOVANIE_*); the
// setting outlives the scene's construction. 1, or 0 for a null controller.
ZYSCENAMODEL_API int ZyScenaModelRisovanie(Quorvel::ZYKGLKONTROL* k, unsigned long sposob);
// Registers the model file `put` (a full or relative path) for a host: the key to put into
// SGL_SCENA_PARAM::sceneParam, never 0; 0 for a null or unconvertible path.
ZYSCENAMODEL_API unsigned long ZyScenaModelFajl(const wchar_t* put);
// The path of the file registered under `kljuch` into bufer[0..razmer-1] (zero-terminated);
// its length, or 0 for an unknown key or a buffer too small.
ZYSCENAMODEL_API unsigned long ZyScenaModelImja(unsigned long kljuch, wchar_t* bufer,
                                                unsigned long razmer);
}

#endif // ZYSCENAMODEL_H
