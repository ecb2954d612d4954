// Keyboard navigation handlers. PROVISIONAL: keyboard navigation (motion keys, speed, typed
// values, pause) arrives with its own change; until then the keys reach the scenes'
// navigation and object handlers only, and these main handlers do nothing.
#include "ZyKGLOrvanta2.h"

// WM_KEYDOWN. Provisional: no reaction of its own.
int WMKeyDown(MSG*) {
    return 0;
}

// WM_CHAR. Provisional: no reaction of its own.
int WMChar(MSG*) {
    return 0;
}

// WM_KEYUP. Provisional: no reaction of its own.
int WMKeyUp(MSG*) {
    return 0;
}
