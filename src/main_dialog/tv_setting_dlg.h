#pragma once
// The program's main window: a captionless modal dialog that the user drags by its surface.
#include <cstdint>
#include <vector>

#include "controls/accessible_button.h"
#include "controls/gif_picture_ctrl.h"
#include "controls/notice_balloon.h"
#include "controls/shaped_bitmap.h"
#include "controls/skin_button.h"
#include "framework/afxwin.h"
#include "display/display_settings.h"
#include "display/intel_backend.h"
#include "main_dialog/connector_view.h"
#include "main_dialog/mode_names.h"
#include "main_dialog/mode_table.h"


// True when the last mode the main dialog applied was one the driver lists and the system
// switched to it. The apply flow asks for confirmation only then.
extern BOOL listedModeApplied;

class TvSettingDlg : public CDialog {
public:
    // The window title, also the single-instance name by which a second copy finds us.
    static constexpr const char* kTitle = "ORVA TV Setting";
    // Posted by a second copy after it has restored this window: move it back on screen.
    static constexpr UINT kMsgKeepOnScreen = WM_APP + 1;
    // The window's timer that fires once, after its first paint.
    static constexpr UINT_PTR kAfterFirstPaintTimer = 1;

    TvSettingDlg();
    ~TvSettingDlg() override = default;

    const CString& PendingMode() const { return m_strMode; }
    const CString& PendingVariant() const { return m_strVariant; }
    // The display settings the dialog reads and changes the desktop mode through; the system's
    // unless it is given others, which must outlive it.
    void UseDisplaySettings(DisplaySettings& settings);

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    LRESULT OnNcHitTest(CPoint point);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // The desktop changed size, or a second copy restored the window: it is drawn at the largest
    // scale up to its monitor's at which it fits the work area, and moves inside it if it no
    // longer lies wholly there.
    LRESULT OnKeepOnScreen(WPARAM, LPARAM);
    // The window moved to a monitor of another scale: it is drawn again at the new scale (or the
    // largest below it that fits) and takes the place and size the system suggests.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // Once the window has been painted (kAfterFirstPaintTimer): the animation starts.
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    // The window was dragged or moved: a refusal message showing closes.
    LRESULT OnMoved(WPARAM, LPARAM);
    // The user turned a contrast theme on or off, or changed the system's colours: the window
    // draws again in the look asked for.
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);

    // Resolution commands: each stores its mode name (and variant) and runs the apply flow.
    void On640x480();
    void On800x600();
    void On1024x768();
    void On480();
    void On720Small();
    void On720Large();
    void On1080Small();
    void On1080Large();

    // Lights the detected connector's picture and offers the fitting row of resolution buttons;
    // the start-up view stays when detection recognised nothing.
    void ShowDetectedConnector();

    // Finds the vendor interface and the TV connector, filling TvDetection; false after an error
    // message, when initialisation is to stop and the start-up view stays.
    bool DetectTvOutput();

    // The Intel backend: the TV device's uid on "\\.\Display1" or "\\.\Display2", and the
    // rewrite of its TV parameters before a 720-line or 1080-line Component mode is set.
    BOOL GetMonitorUid(DWORD wantedType, DWORD* pUid);
    HRESULT UpdateTvParameters720(DWORD count, TvParameterBlock* pBlock);
    HRESULT UpdateTvParameters1080(DWORD count, TvParameterBlock* pBlock);

    // Switches the primary display to the listed 32-bit mode of that size and rate, for now only
    // (StoreAppliedMode stores it); sets listedModeApplied when the switch was made. On the ATI
    // path an unlisted mode is tried once for now and, when the driver refuses it, the hint popup
    // shows where the TV format is enabled. The system's answer when a listed mode was handed to
    // it, else 0. A listed mode the driver refuses, and an unlisted one off the ATI path, give the
    // warning sound and a message beside the button; on the ATI path the hint popup tells instead.
    LONG ApplyDesktopMode(DWORD width, DWORD height, DWORD frequency);
    // Stores the mode the last ApplyDesktopMode switched to, so that it stays after a restart;
    // the system's answer.
    LONG StoreAppliedMode();
    // Sets the mode now without storing it; the system's answer.
    LONG ChangeDisplayModeTemporary(const DisplayMode& mode);

    // Why a press switched nothing.
    enum class SwitchRefusal { NothingToSwitch, NotListed, DriverRefused, SwitchRunning };
    // Gives the warning sound and, beside the button pressed, a short message saying why
    // (for a mode: its size and rate), which goes by itself after a few seconds.
    void TellRefusal(SwitchRefusal why, DWORD width = 0, DWORD height = 0, DWORD frequency = 0);

private:
    void ShowFormatHint();
    // True, with the warning sound, while a switch runs: from its start until its answer is
    // handled and any revert is done, no other switch may start, whatever sends the command.
    bool RefuseWhileSwitching();
    // The apply flow proper, for one chosen mode.
    void SwitchAndAsk(const ModeRequest& request);
    // The mode to come back to; false when it cannot be read at all.
    bool SaveCurrentMode(DisplayMode& saved);
    // Brings the saved mode back after a switch nobody confirmed: exactly, else its size at a rate
    // the driver lists, else the stored mode. Never a temporary try, never the format hint.
    Reverted RevertDesktopMode(const DisplayMode& saved);
    // The user accepted: stores the mode, and says so when the system would not store it.
    void KeepAcceptedMode();
    // Tells that the unconfirmed mode stays on the screen, which mode that is, and where to change it.
    void ReportModeNotReverted();
    void RunTvParameterUpdate(TvFormatUpdate update);
    // Writes the TV parameters back as the driver gave them before the update, and pauses as the
    // update did; nothing when no update read them.
    void RestoreTvParameters();
    // Puts the window back at that place if it lies on screen, else keeps it inside the work area.
    void ReturnTo(const RECT& place);

    // Detection's Intel step: create the object (vendor Intel), then read the TV's connector.
    bool CreateIntelObject();
    bool DetectIntelConnector();
    void ApplyMode(const char* mode);
    void ApplyHdMode(HdLines lines, const char* variant);

    // Starts decoding the background and the masks the window is dressed with, on a thread of
    // their own while the window is being made.
    void PrefetchFirstImages();
    // The skin: background, outline, and the start-up images and tooltips of the buttons.
    void DressWindow();
    // The logo drawn for that scale, in place of the one the template gave.
    void ShowLogoAtScale(UINT dpi);
    // The logo control shows that picture, which it takes; the one shown before is deleted.
    void ShowLogoBitmap(HWND logo, CBitmap& picture);

    // ---- A high-contrast theme ----
    // The logo for the look in force: the skin's, or its words in the theme's colours.
    void ShowLogoForLook(UINT dpi);
    // How each button draws while a contrast theme is on.
    void SetContrastLooks();
    // The pictures the view lights are marked as the detected connector's.
    void MarkDetectedPictures(const ConnectorViewLook& look);
    // The background in the theme's colours: its words, dividing lines and a border.
    void PaintContrast(HDC dc);
    void PaintTitle(HDC dc, HFONT face, COLORREF ink);
    // Takes up the look in force (contrast on or off) and redraws everything.
    void ApplySystemLook();
    // Before the window is dressed: its monitor's scale, or the largest below it that fits.
    void ChooseStartScale();
    // Lays the window out and dresses it again at that scale; false when it cannot be laid out.
    bool DrawAtDpi(UINT dpi);
    // Draws the window at the scale that fits its work area, and moves it inside.
    void FitInsideWorkArea();
    void RedrawAll();
    // The animation in the corner; its worker thread runs until the window is destroyed.
    void StartAnimation();
    // The button bound to that control; null for a control without one.
    SkinButton* SkinButtonFor(int control);
    // A skin button and the control it is bound to.
    struct BoundButton {
        int control;
        SkinButton TvSettingDlg::*member;
    };
    // Every skin button, in the order data exchange binds them; the animation is bound last.
    static const BoundButton kBoundButtons[];
    // Gives the button its start-up images and tooltip.
    void SetStartUpLook(int control);
    void ShowResolutionRow(bool highDefinition);
    // Focus rings, Tab order and the logo's name.
    void PrepareKeyboardAccess();
    // With the user's keyboard cues off, no focus marks until a key moves the focus.
    void HideFocusMarksUntilKeyboardUse();
    // The names a screen reader reads for the buttons in this view, and the window's description.
    void NameButtons(ConnectorView view);
    // An arrow key on a button: the control the focus goes to (WM_SKIN_ARROW_KEY).
    LRESULT OnArrowKey(WPARAM key, LPARAM button);
    // The window's accessible object, which tells the connector detected.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

    // Skin members, in their order of construction; they come before the frame's members, except
    // the background, which comes last. Members are destroyed in the reverse order.
    SkinButton m_btnClose;
    SkinButton m_btnHdmi;
    SkinButton m_btnComponent;
    SkinButton m_btnComposite;
    SkinButton m_btnSVideo;
    SkinButton m_btn1024;
    SkinButton m_btn800;
    SkinButton m_btn640;
    SkinButton m_btn1080Large;
    SkinButton m_btn720Large;
    SkinButton m_btn480Large;
    SkinButton m_btn1080Small;
    SkinButton m_btn720Small;
    SkinButton m_btn480Small;
    GifPictureCtrl m_gifAnim;

    // Frame members, in their order of construction.
    CString m_strMode;
    CString m_strVariant;
    // True from the start of a switch until its answer is handled and any revert is done.
    bool m_bSwitching = false;
    HICON m_hIcon = nullptr;
    // The listed mode the last successful switch set, for storing once the user accepts it.
    DEVMODEA m_modeApplied{};
    // The TV parameters as the driver gave them before the last update; empty when no update
    // has read them since the last answer.
    TvParametersAsRead m_tvParametersAsRead;
    // Where the desktop mode is read and changed.
    DisplaySettings* m_displaySettings = &SystemDisplaySettings();

protected:
    // The Intel graphics object; null until detection creates it, then held for the whole run
    // and never released.
    ICUIExternal* m_pCUIExternal = nullptr;

private:
    // The background picture; its outline is the window's.
    ShapedBitmap m_bmpBackground;
    // The logo, named for screen readers.
    NamedPicture m_logo;
    // What a screen reader learns of the window itself: its description.
    AccessibleName m_accessible{0};
    // The column the arrow keys keep for Down from the close button; at first the last one,
    // which lies under it.
    size_t m_arrowColumn = SIZE_MAX;
    // The message shown when a press switches nothing.
    NoticeBalloon m_refusalNotice;
    // The logo drawn for the window's scale, once the template's has been replaced.
    CBitmap m_bmpLogo;
    // True once detection's view has been shown; a change of scale shows it again.
    bool m_bDetectedViewShown = false;
    // True while the window draws in a contrast theme's colours.
    bool m_bHighContrast = false;
    // The scale of the window's monitor; the window draws at a smaller one while it would not fit.
    UINT m_monitorDpi = kDefaultDpi;
};
