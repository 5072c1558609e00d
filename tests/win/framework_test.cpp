// The framework layer on real USER and GDI: message maps, subclassing, reflection, dialogs.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/afxwin.h"
#include "pixels.h"
#include "test_dialogs.h"
#include "win_test_support.h"

namespace {

CWinApp g_app("FrameworkTests");

class BaseProbe : public CWnd {
public:
    int baseCalls = 0;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnOne(WPARAM, LPARAM) { ++baseCalls; return 1; }
    LRESULT OnShared(WPARAM, LPARAM) { return 40; }
};

BEGIN_MESSAGE_MAP(BaseProbe, CWnd)
    ON_MESSAGE(WM_APP + 1, OnOne)
    ON_MESSAGE(WM_APP + 4, OnShared)
END_MESSAGE_MAP()

class DerivedProbe : public BaseProbe {
public:
    int clicks = 0;
    bool preSubclassSawHandle = false;

protected:
    DECLARE_MESSAGE_MAP()
    void PreSubclassWindow() override { preSubclassSawHandle = m_hWnd != nullptr; }
    LRESULT OnTwo(WPARAM, LPARAM) { return 2; }
    LRESULT OnShared(WPARAM, LPARAM) { return 41; }
    LRESULT OnDefaultPlusOne(WPARAM, LPARAM) { return Default() + 1; }
    void OnClicked() { ++clicks; }
};

BEGIN_MESSAGE_MAP(DerivedProbe, BaseProbe)
    ON_MESSAGE(WM_APP + 2, OnTwo)
    ON_MESSAGE(WM_APP + 4, OnShared)
    ON_MESSAGE(WM_APP + 5, OnDefaultPlusOne)
    ON_BN_CLICKED(42, OnClicked)
END_MESSAGE_MAP()

class RecordingButton : public CButton {
public:
    int draws = 0;
    HWND drawnWindow = nullptr;
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        ++draws;
        drawnWindow = item->hwndItem;
    }
};

class ButtonDialog : public CDialog {
public:
    using CDialog::CDialog;
    RecordingButton button;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_TEST_OWNERDRAWN, button); }
};

}  // namespace

TEST(MessageMap, DerivedEntriesComeFirstThenBaseThenTheOriginalProcedure) {
    HWND hWnd = CreatePlainWindow();
    DerivedProbe probe;
    ASSERT_TRUE(probe.SubclassWindow(hWnd));
    EXPECT_TRUE(probe.preSubclassSawHandle);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &probe);

    EXPECT_EQ(::SendMessageA(hWnd, WM_APP + 2, 0, 0), 2);   // derived map
    EXPECT_EQ(::SendMessageA(hWnd, WM_APP + 1, 0, 0), 1);   // chained to the base map
    EXPECT_EQ(probe.baseCalls, 1);
    EXPECT_EQ(::SendMessageA(hWnd, WM_APP + 4, 0, 0), 41);  // the derived entry hides the base one
    EXPECT_EQ(::SendMessageA(hWnd, WM_APP + 3, 0, 0), 77);  // nobody maps it: original procedure
    EXPECT_EQ(::SendMessageA(hWnd, WM_APP + 5, 0, 0), 78);  // Default() reaches the original too

    // Commands route by id and notification code.
    ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(42, BN_CLICKED), 0);
    ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(42, BN_SETFOCUS), 0);
    ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(43, BN_CLICKED), 0);
    EXPECT_EQ(probe.clicks, 1);

    ::DestroyWindow(hWnd);
    EXPECT_EQ(probe.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(MessageMap, AWindowOutlivingItsObjectGetsItsProcedureBack) {
    HWND hWnd = CreatePlainWindow();
    {
        DerivedProbe probe;
        probe.SubclassWindow(hWnd);
        EXPECT_EQ(::SendMessageA(hWnd, WM_APP + 2, 0, 0), 2);
    }
    EXPECT_EQ(::SendMessageA(hWnd, WM_APP + 2, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(hWnd, WM_APP + 3, 0, 0), 77);
    ::DestroyWindow(hWnd);
}

TEST(MessageMap, AWindowIsAttachedToOneObjectOnly) {
    HWND hWnd = CreatePlainWindow();
    DerivedProbe first, second;
    EXPECT_TRUE(first.SubclassWindow(hWnd));
    EXPECT_FALSE(second.SubclassWindow(hWnd));
    EXPECT_EQ(second.m_hWnd, nullptr);
    // FromHandle of a window nobody owns gives a temporary object for that window.
    HWND other = CreatePlainWindow();
    CWnd* temp = CWnd::FromHandle(other);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, other);
    EXPECT_EQ(CWnd::FromHandlePermanent(other), nullptr);
    AfxDeleteTempWindows();
    ::DestroyWindow(other);
    ::DestroyWindow(hWnd);
}

TEST(Reflection, TheParentHandsDrawItemToTheOwnerDrawnButtonObject) {
    HWND parent = CreatePlainWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 50, 20, parent,
                                   reinterpret_cast<HMENU>(42), nullptr, nullptr);
    DerivedProbe parentObject;
    RecordingButton button;
    parentObject.SubclassWindow(parent);
    button.SubclassWindow(child);

    ::InvalidateRect(child, nullptr, TRUE);
    ::UpdateWindow(child);
    EXPECT_GE(button.draws, 1);
    EXPECT_EQ(button.drawnWindow, child);

    // A click on the child still reaches the parent's command map.
    ::SendMessageA(child, BM_CLICK, 0, 0);
    EXPECT_EQ(parentObject.clicks, 1);
    ::DestroyWindow(parent);
}

TEST(Dialog, DataExchangeBindsControlsAndTheyPaintThroughTheirObject) {
    ButtonDialog dialog(IDD_TEST_MINGLIU);
    bool bound = false;
    EXPECT_EQ(RunModalScript(dialog, {[&](CDialog& d) {
                                 bound = dialog.button.m_hWnd == ::GetDlgItem(d.m_hWnd, IDC_TEST_OWNERDRAWN) &&
                                         CWnd::FromHandlePermanent(dialog.button.m_hWnd) == &dialog.button;
                                 ::UpdateWindow(d.m_hWnd);
                                 d.EndDialog(IDOK);
                             }}),
              IDOK);
    EXPECT_TRUE(bound);
    EXPECT_GE(dialog.button.draws, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.button.m_hWnd, nullptr);  // detached when its window went
}

TEST(Dialog, EndsWithOkCancelEnterAndEscape) {
    struct Case {
        const char* name;
        DialogStep step;
        INT_PTR expected;
    };
    const Case cases[] = {
        {"IDOK", [](CDialog& d) { d.PostMessage(WM_COMMAND, IDOK); }, IDOK},
        {"IDCANCEL", [](CDialog& d) { d.PostMessage(WM_COMMAND, IDCANCEL); }, IDCANCEL},
        {"Escape", [](CDialog& d) { PressKey(d, VK_ESCAPE); }, IDCANCEL},
        {"Enter", [](CDialog& d) { PressKey(d, VK_RETURN); }, IDOK},
    };
    for (const Case& c : cases) {
        PlainDialog dialog(IDD_TEST_MINGLIU);
        EXPECT_EQ(RunModalScript(dialog, {c.step}), c.expected) << c.name;
    }
}

TEST(Dialog, DisablesItsOwnerWhileModal) {
    HWND ownerWindow = CreatePlainWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    CWnd owner;
    owner.Attach(ownerWindow);
    bool ownerEnabledDuring = true;
    HWND ownerOfDialog = nullptr;
    PlainDialog dialog(IDD_TEST_MINGLIU, &owner);
    EXPECT_EQ(RunModalScript(dialog, {[&](CDialog& d) {
                                 ownerEnabledDuring = ::IsWindowEnabled(ownerWindow);
                                 ownerOfDialog = ::GetWindow(d.m_hWnd, GW_OWNER);
                                 d.EndDialog(IDOK);
                             }}),
              IDOK);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_EQ(ownerOfDialog, ownerWindow);
    EXPECT_TRUE(::IsWindowEnabled(ownerWindow));
    owner.Detach();
    ::DestroyWindow(ownerWindow);
}

TEST(Dialog, AQuitRequestEndsTheModalLoopAndStaysQueued) {
    PlainDialog dialog(IDD_TEST_MINGLIU);
    EXPECT_EQ(RunModalScript(dialog, {[](CDialog&) { ::PostQuitMessage(5); }}), -1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST(Dialog, LaysOutAtTheIntendedBaseUnitsOfItsFontWhateverTheSubstitute) {
    RECT client{}, control{};
    PlainDialog dialog(IDD_TEST_MINGLIU);
    RunModalScript(dialog, {[&](CDialog& d) {
                       ::GetClientRect(d.m_hWnd, &client);
                       control = ControlRect(d.m_hWnd, IDC_TEST_OWNERDRAWN);
                       d.EndDialog(IDOK);
                   }});
    // 6 x 12 base units: 200 x 100 units is 300 x 150 pixels; (110, 51, 44, 17) is (165, 77, 66, 26).
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 150);
    EXPECT_EQ(control.left, 165);
    EXPECT_EQ(control.top, 77);
    EXPECT_EQ(control.right - control.left, 66);
    EXPECT_EQ(control.bottom - control.top, 26);
}

TEST(Dialog, LeavesOtherFontsAsTheSystemLaysThemOut) {
    RECT expected{150, 10, 41, 13}, control{};  // x, y, cx, cy: MapDialogRect maps each on its own
    PlainDialog dialog(IDD_TEST_OTHER_FONT);
    RunModalScript(dialog, {[&](CDialog& d) {
                       ::MapDialogRect(d.m_hWnd, &expected);
                       control = ControlRect(d.m_hWnd, IDC_TEST_PLAIN);
                       d.EndDialog(IDOK);
                   }});
    EXPECT_EQ(control.left, expected.left);
    EXPECT_EQ(control.top, expected.top);
    EXPECT_EQ(control.right - control.left, expected.right);
    EXPECT_EQ(control.bottom - control.top, expected.bottom);
}

TEST(Dialog, ATemplateAtTheOriginIsCentred) {
    RECT window{};
    PlainDialog dialog(IDD_TEST_MINGLIU);
    RunModalScript(dialog, {[&](CDialog& d) {
                       ::GetWindowRect(d.m_hWnd, &window);
                       d.EndDialog(IDOK);
                   }});
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST(Dialog, IsCentredOverItsOwnerButInsideTheWorkArea) {
    HWND ownerWindow = CreatePlainWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ::SetWindowPos(ownerWindow, nullptr, -300, 200, 400, 300, SWP_NOZORDER);  // dragged half off screen
    CWnd owner;
    owner.Attach(ownerWindow);
    RECT window{};
    PlainDialog dialog(IDD_TEST_MINGLIU, &owner);
    RunModalScript(dialog, {[&](CDialog& d) {
                       ::GetWindowRect(d.m_hWnd, &window);
                       d.EndDialog(IDOK);
                   }});
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(window.left, work.left);
    EXPECT_NEAR((window.top + window.bottom) / 2, 200 + 150, 1) << "still centred where it fits";
    owner.Detach();
    ::DestroyWindow(ownerWindow);
}

TEST(Dialog, ANestedModalLoopKeepsItsCallersTemporariesAndAHiddenDialogStaysHidden) {
    HWND stranger = CreatePlainWindow();
    CWnd* temp = nullptr;
    bool sameAfterInner = false, hiddenAfterIdle = false;
    PlainDialog outer(IDD_TEST_MINGLIU);
    RunModalScript(outer, {[&](CDialog&) {
                               // A command handler that holds a temporary while it runs a popup of
                               // its own, which idles.
                               temp = CWnd::FromHandle(stranger);
                               PlainDialog inner(IDD_TEST_MINGLIU);
                               RunModalScript(inner, {[](CDialog& d) { d.ShowWindow(SW_HIDE); },
                                                      [](CDialog&) { PumpMessagesFor(100); },
                                                      [&](CDialog& d) {
                                                          hiddenAfterIdle = !::IsWindowVisible(d.m_hWnd);
                                                          d.EndDialog(IDOK);
                                                      }});
                               sameAfterInner = temp->m_hWnd == stranger && CWnd::FromHandle(stranger) == temp;
                           },
                           [](CDialog& d) { d.EndDialog(IDOK); }});
    EXPECT_TRUE(sameAfterInner);
    EXPECT_TRUE(hiddenAfterIdle);
    ::DestroyWindow(stranger);
}

TEST(Afx, IsDescendantFollowsParentsAndOwners) {
    HWND top = CreatePlainWindow();
    HWND child = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    HWND owned = CreatePlainWindow(WS_POPUP, top);
    HWND stranger = CreatePlainWindow();
    EXPECT_TRUE(AfxIsDescendant(top, top));
    EXPECT_TRUE(AfxIsDescendant(top, child));
    EXPECT_TRUE(AfxIsDescendant(top, owned));
    EXPECT_FALSE(AfxIsDescendant(top, stranger));
    EXPECT_FALSE(AfxIsDescendant(child, top));
    for (HWND w : {owned, stranger, top}) ::DestroyWindow(w);
}

TEST(Afx, MessageBoxIsOwnedByTheMainWindowAndCaptionedWithTheAppName) {
    HWND main = CreatePlainWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    CWnd mainWnd;
    mainWnd.Attach(main);
    g_app.m_pMainWnd = &mainWnd;
    static HWND s_owner;
    static HWND s_main;
    s_owner = nullptr;
    s_main = main;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND box = ::FindWindowA("#32770", "FrameworkTests");
        if (!box) return;
        s_owner = ::GetWindow(box, GW_OWNER);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(AfxMessageBox("text"), IDOK);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(s_owner, s_main);
    g_app.m_pMainWnd = nullptr;
    mainWnd.Detach();
    ::DestroyWindow(main);
}

TEST(Gdi, EachHandleHasOneOwnerThatDeletesIt) {
    HBITMAP first = ::CreateBitmap(4, 4, 1, 32, nullptr);
    HBITMAP second = ::CreateBitmap(4, 4, 1, 32, nullptr);
    {
        CBitmap bitmap;
        EXPECT_TRUE(bitmap.Attach(first));
        EXPECT_TRUE(bitmap.Attach(second));  // replacing deletes the old handle
        EXPECT_EQ(::GetObjectType(first), 0u);
        EXPECT_FALSE(bitmap.Attach(nullptr));
        EXPECT_EQ(bitmap.m_hObject, second);
        BITMAP info{};
        EXPECT_NE(bitmap.GetBitmap(&info), 0);
        EXPECT_EQ(info.bmWidth, 4);
    }
    EXPECT_EQ(::GetObjectType(second), 0u);

    HDC made = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        made = dc.m_hDC;
        {
            CDC borrowed;  // attached only for a call: never deleted by this object
            borrowed.Attach(made);
        }
        EXPECT_EQ(::GetObjectType(made), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(::GetObjectType(made), 0u);

    // Attaching to a context it made first deletes that one, and the borrowed one stays.
    HDC borrowed = ::CreateCompatibleDC(nullptr);
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        made = dc.m_hDC;
        dc.Attach(borrowed);
        EXPECT_EQ(::GetObjectType(made), 0u);
    }
    EXPECT_EQ(::GetObjectType(borrowed), static_cast<DWORD>(OBJ_MEMDC));
    ::DeleteDC(borrowed);
}

namespace {

// A bitmap's pixels as the system reads them out in 32 bits, rows from the top.
std::vector<uint32_t> ThirtyTwoBitPixels(HBITMAP bitmap, BITMAP& info) {
    info = BITMAP{};
    if (!::GetObjectA(bitmap, sizeof info, &info)) return {};
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(size_t(info.bmWidth) * info.bmHeight);
    HDC memory = ::CreateCompatibleDC(nullptr);
    const int rows = ::GetDIBits(memory, bitmap, 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ::DeleteDC(memory);
    return rows == info.bmHeight ? pixels : std::vector<uint32_t>{};
}

}  // namespace

// Every bitmap resource of the program (and of the tests) loads as a 32-bit section with the
// pixels the system's own loading gives, whether it is read in memory (24 bits) or by the system.
TEST(Gdi, EveryBitmapResourceLoadsAsAThirtyTwoBitSectionWithTheSystemsPixels) {
    const std::vector<UINT> ids = ResourceIds(RT_BITMAP);
    ASSERT_GT(ids.size(), 60u);
    for (UINT id : ids) {
        SCOPED_TRACE(testing::Message() << "bitmap " << id);
        CBitmap loaded;
        ASSERT_TRUE(loaded.LoadBitmap(id));
        HBITMAP system = static_cast<HBITMAP>(
            ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        BITMAP ours{}, theirs{};
        const std::vector<uint32_t> got = ThirtyTwoBitPixels(static_cast<HBITMAP>(loaded.m_hObject), ours);
        const std::vector<uint32_t> want = ThirtyTwoBitPixels(system, theirs);
        ::DeleteObject(system);
        EXPECT_EQ(ours.bmBitsPixel, 32);
        EXPECT_EQ(ours.bmWidth, theirs.bmWidth);
        EXPECT_EQ(ours.bmHeight, theirs.bmHeight);
        ASSERT_FALSE(want.empty());
        EXPECT_TRUE(got == want);
    }
}
