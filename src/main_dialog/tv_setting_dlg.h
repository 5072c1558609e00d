#pragma once
// The program's main window: a captionless modal dialog that the user drags by its surface.
#include "framework/afxwin.h"
#include "main_dialog/mode_names.h"

struct ICUIExternal;  // the Intel graphics object's interface

class TvSettingDlg : public CDialog {
public:
    // The window title, also the single-instance name by which a second copy finds us.
    static constexpr const char* kTitle = "ORVA TV Setting";

    TvSettingDlg();
    ~TvSettingDlg() override = default;

    const CString& PendingMode() const { return m_strMode; }
    const CString& PendingVariant() const { return m_strVariant; }

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    LRESULT OnNcHitTest(CPoint point);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    // Resolution commands: each stores its mode name (and variant) and runs the apply flow.
    void On640x480();
    void On800x600();
    void On1024x768();
    void On480();
    void On720Small();
    void On720Large();
    void On1080Small();
    void On1080Large();

private:
    void ApplyMode(const char* mode);
    void ApplyHdMode(HdLines lines, const char* variant);

    CString m_strMode;
    CString m_strVariant;
    HICON m_hIcon = nullptr;
    ICUIExternal* m_pCUIExternal = nullptr;
};
