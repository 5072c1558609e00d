#pragma once
// The popup that shows where a TV format is enabled in the adapter's control panel: a picture of
// that page and a close button, with no caption, frame or taskbar button. Its outline comes from
// the picture, and it is dragged by any point of its surface.
#include "controls/shaped_bitmap.h"
#include "controls/skin_button.h"
#include "framework/afxwin.h"

class HintDialog : public CDialog {
public:
    // m_nScreenshot values: the TvConnector values of the two connectors that have a picture.
    static constexpr int kHdmiScreenshot = 2;
    static constexpr int kComponentScreenshot = 4;
    // m_nFontChoice value that picks the Traditional Chinese font for the controls.
    static constexpr int kChineseFontChoice = 404;

    explicit HintDialog(CWnd* pParent = nullptr);
    ~HintDialog() override = default;

    // 404 gives the controls "細明體" at height 12, any other value "Arial" at height 14.
    int m_nFontChoice = 0;
    // Which picture to show, set before DoModal: kHdmiScreenshot, kComponentScreenshot, or any
    // other value for none (a plain rectangle with the dialog's own background).
    int m_nScreenshot = 0;

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // The popup's accessible object: its steps, which the picture alone shows, as its description.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    // A contrast theme switched on or off, or the system's colours changed: drawn again.
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    // In a contrast theme the picture gives way to its words, in the theme's colours.
    void PaintContrast(HDC dc);

    SkinButton m_btnClose;
    ShapedBitmap m_bmpBackground;
    // The controls' font, made on first use and kept until the dialog object goes, so that it
    // outlives every device context it is selected into.
    CFont m_fontControls;
    AccessibleName m_accessible{0};
};
