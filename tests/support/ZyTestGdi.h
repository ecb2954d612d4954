// Test helper: the number of GDI objects this process holds, to show that an operation leaks
// none.
#ifndef ZYTESTGDI_H
#define ZYTESTGDI_H

namespace zytest {

// GDI objects of this process: GetGuiResources, or, where that gives nothing (Wine), the live
// entries of the process's GDI handle table.
unsigned long GdiObjektovProcessa();

} // namespace zytest

#endif // ZYTESTGDI_H
