// The baselines of scripts/bench: the main window's template shown as a plain dialog, with no
// skin, no animation and no detection. Built twice: as bare_dialog with all the program's
// resources, and as template_dialog with the template and the manifest alone.
#include <windows.h>

#include "resource.h"

namespace {

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            // The title the benchmark finds the window by, as it finds the real one.
            ::SetWindowTextA(dialog, "ORVA TV Setting");
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default: return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TVSETTING), nullptr, BareDialogProc, 0));
}
