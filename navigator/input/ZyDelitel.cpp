// Table dispatchers for any window procedure: a DispatchTable lists (message, handler) pairs
// or (command identifier, handler) entries; unlisted messages get the default processing its
// flags choose.
#include "ZyKGLOrvanta2.h"

namespace {

// The items of a table as an array of T, or null when the table has none.
template <class T> const T* Elementy(const DispatchTable* table) {
    if (!table || !table->items || table->count <= 0) return nullptr;
    return static_cast<const T*>(table->items);
}

} // namespace

// Calls the handler of the first pair whose message equals soob; otherwise the default
// processing of the table.
LRESULT ZyDelitelWM(DispatchTable* table, HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    if (const ZYS_DELITEL_PARA* pary = Elementy<ZYS_DELITEL_PARA>(table)) {
        for (long i = 0; i < table->count; ++i)
            if (pary[i].soob == soob && pary[i].fyn) return pary[i].fyn(okno, soob, wParam, lParam);
    }
    return ZyDelitelDef(table, okno, soob, wParam, lParam);
}

// WM_COMMAND: calls the handler of the first entry whose identifier is LOWORD(wParam) with
// (window, identifier, notification code, lParam); otherwise the default processing of
// WM_COMMAND with the unchanged wParam and lParam.
LRESULT ZyDelitelWMCommand(DispatchTable* table, HWND okno, WPARAM wParam, LPARAM lParam) {
    if (const ZYS_DELITEL_KOMANDA* komandy = Elementy<ZYS_DELITEL_KOMANDA>(table)) {
        const WORD id = LOWORD(wParam);
        for (long i = 0; i < table->count; ++i) {
            // NOTE: the entries are packed; copy the handler out instead of calling through
            // a possibly misaligned member.
            const ZYF_KOMANDA fyn = komandy[i].fyn;
            if (komandy[i].id == id && fyn) return fyn(okno, id, HIWORD(wParam), lParam);
        }
    }
    return ZyDelitelDef(table, okno, WM_COMMAND, wParam, lParam);
}

// The default processing chosen by the first set bit of table->flags: DefWindowProcA,
// DefDlgProcA, DefFrameProcA (no MDI client), DefMDIChildProcA, or the saved procedure
// through CallWindowProcA; 0 when none applies (also for 0x10 without a saved procedure).
LRESULT ZyDelitelDef(DispatchTable* table, HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    const unsigned long flagi = table ? table->flags : 0;
    if (flagi & ZYD_DEFWINDOWPROC) return DefWindowProcA(okno, soob, wParam, lParam);
    if (flagi & ZYD_DEFDLGPROC) return DefDlgProcA(okno, soob, wParam, lParam);
    if (flagi & ZYD_DEFFRAMEPROC) return DefFrameProcA(okno, nullptr, soob, wParam, lParam);
    if (flagi & ZYD_DEFMDICHILDPROC) return DefMDIChildProcA(okno, soob, wParam, lParam);
    if ((flagi & ZYD_CALLWINDOWPROC) && table->prevProc)
        return CallWindowProcA(table->prevProc, okno, soob, wParam, lParam);
    return 0;
}
