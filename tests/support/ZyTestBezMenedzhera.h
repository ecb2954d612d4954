// Test helper: a test program that provokes many message boxes runs with its windows unmanaged.
//
// Under Wine without a window manager a hidden message box is destroyed (and the call that
// showed it returns) only about 2 s later: the X driver waits for the manager's answer. Wine
// reads a per-program setting that leaves the program's windows unmanaged when it starts;
// Windows ignores the setting.
#ifndef ZYTESTBEZMENEDZHERA_H
#define ZYTESTBEZMENEDZHERA_H

namespace zytest {

// Makes the setting for this program. True when it was missing and has been made now: the
// program must be started again (ZapustitZanovo) to get it.
bool BezMenedzheraOkon();

// Runs this program again with the same command line and gives its exit code (see
// VypolnitSebja; it is given 550 s).
int ZapustitZanovo();

} // namespace zytest

#endif // ZYTESTBEZMENEDZHERA_H
