#pragma once
#include "framework/afxwin.h"

// The application: one copy per desktop, running the main dialog until it closes.
class TvSettingApp : public CWinApp {
public:
    // Named by the program's title, which captions its message boxes.
    TvSettingApp();
    // Always false: the program ends when the dialog ends (or at once in a second copy).
    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()

private:
    static void ActivateRunningCopy();
};
