#pragma once
// The main window as a user sees it on each simulated adapter: the outline of the skin, the
// connector pictures that are lit, the row of resolution buttons offered, and how the pictures
// answer the pointer. Lit or unlit is decided by comparing the screen with the program's own
// bitmaps, so new artwork needs no new test data. The 64-bit exe's view tests and the 32-bit
// exe's suite share these checks and the table of views (scenarios.h). The checks run at the
// scale of the desktop (scripts/wine-run's ORVA_LOGPIXELS), comparing with the art drawn for it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "e2e_support.h"
#include "framework/dialog_template.h"
#include "pixels.h"
#include "resource.h"
#include "scenarios.h"

namespace view_checks {

inline constexpr DWORD kStartTimeoutMs = 20000;

enum class Look { Unlit, Lit, Neither };

inline const char* Name(Look look) { return look == Look::Lit ? "lit" : look == Look::Unlit ? "unlit" : "neither"; }

struct ConnectorPicture {
    int control;
    const char* name;
    UINT unlitId;
    UINT litId;
    bool ExpectedLit(const ExpectedView& view) const {
        switch (control) {
            case IDC_SVIDEO: return view.sVideoLit;
            case IDC_COMPOSITE: return view.compositeLit;
            case IDC_COMPONENT: return view.componentLit;
            default: return view.hdmiLit;
        }
    }
};

inline constexpr ConnectorPicture kPictures[] = {
    {IDC_SVIDEO, "S-Video", IDB_SVIDEO_UNLIT, IDB_SVIDEO_LIT},
    {IDC_COMPOSITE, "Composite", IDB_COMPOSITE_UNLIT, IDB_COMPOSITE_LIT},
    {IDC_COMPONENT, "Component", IDB_COMPONENT_UNLIT, IDB_COMPONENT_LIT},
    {IDC_HDMI, "HDMI", IDB_HDMI_UNLIT, IDB_HDMI_LIT},
};

inline constexpr int kStandardRow[] = {IDC_640, IDC_800, IDC_1024};
inline constexpr int kHighDefinitionRows[] = {IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL,
                                       IDC_480_LARGE, IDC_720_LARGE, IDC_1080_LARGE};

// The corner animation changes its picture at least three times within two seconds.
testing::AssertionResult CornerAnimates(HWND window);
// A message box or popup is drawn, not a black or empty rectangle: a sensible size, mostly the
// dialog face colour, and dark strokes of text in its text control.
testing::AssertionResult BoxIsDrawn(HWND box);
// Which hint picture the ATI popup shows: 0 HDMI's, 1 Component's, -1 neither.
int HintPictureShown(HWND popup, const ProgramBitmaps& bitmaps);

// What a test adds to a scenario's run: another build of the ATI library, and checks of its own
// once the main window is up.
struct ScenarioRun {
    const char* atiLibrary = nullptr;
    std::function<void(ProgramUnderTest& program, HWND window)> alsoCheck;
};

class ViewChecks {
public:
    bool Loaded() const { return m_bitmaps.Loaded(); }
    const ProgramBitmaps& Bitmaps() const { return m_bitmaps; }
    int Scaled(int pixels) const { return ScaleToDpi(pixels, m_dpi); }

    // What the screen shows where the picture is: its lit image, its unlit image or neither.
    // Only the pixels in which the two images differ count, and a tooltip over a few of them
    // does not change the verdict.
    Look LookOf(HWND window, const ConnectorPicture& picture) const {
        const Pixels shown = ScreenPixels(WindowRect(::GetDlgItem(window, picture.control)));
        const int which =
            WhichImageShows(shown, m_bitmaps.Get(picture.litId, m_dpi), m_bitmaps.Get(picture.unlitId, m_dpi));
        return which == 0 ? Look::Lit : which == 1 ? Look::Unlit : Look::Neither;
    }

    // "S-Video lit, Composite unlit, ..." as the screen shows it, or as expected.
    std::string Looks(HWND window) const {
        std::string text;
        for (const ConnectorPicture& picture : kPictures)
            text += std::string(picture.name) + " " + Name(LookOf(window, picture)) + "; ";
        return text;
    }
    static std::string Expected(const ExpectedView& view, int litUnderPointer = 0) {
        std::string text;
        for (const ConnectorPicture& picture : kPictures) {
            const bool lit = picture.ExpectedLit(view) || picture.control == litUnderPointer;
            text += std::string(picture.name) + " " + Name(lit ? Look::Lit : Look::Unlit) + "; ";
        }
        return text;
    }

    // Points at the control and waits until the pictures look as expected; a pointer move that
    // Wine delivers late is sent again.
    std::string PointAtAndWait(HWND window, int control, const std::string& expected) const {
        std::string seen;
        for (int attempt = 0; attempt < 8 && seen != expected; ++attempt) {
            if (!MoveMouseTo(ControlCentre(window, control))) return "the pointer never reached the control";
            Settle(250);
            seen = Looks(window);
        }
        return seen;
    }

    // The skin's edge is the window's outline: all round it the window shows the background's
    // pixel (x, y) at its own (x, y), and just outside it the desktop. The window has its
    // template's size at the scale.
    testing::AssertionResult OutlineIsTheSkinsEdge(HWND window) const {
        const SIZE size = m_bitmaps.Size(IDB_BACKGROUND, m_dpi);
        const Pixels background = m_bitmaps.Get(IDB_BACKGROUND, m_dpi);
        const RECT r = WindowRect(window);
        if (r.right - r.left != Scaled(512) || r.bottom - r.top != Scaled(401))
            return testing::AssertionFailure() << "window of " << r.right - r.left << " x " << r.bottom - r.top;
        const Pixels shown = ScreenPixels(RECT{r.left, r.top, r.left + size.cx, r.top + size.cy});
        const Pixels desktop = ScreenPixels(RECT{r.left - 1, r.top - 1, r.left, r.top});
        if (shown.size() != background.size() || desktop.size() != 1)
            return testing::AssertionFailure() << "no background picture";
        auto at = [&](const Pixels& p, int x, int y) { return p[static_cast<size_t>(y) * size.cx + x]; };
        auto check = [&](int x, int y, bool inside) -> testing::AssertionResult {
            const uint32_t want = inside ? at(background, x, y) : desktop[0];
            if (at(shown, x, y) == want) return testing::AssertionSuccess();
            return testing::AssertionFailure() << "window pixel (" << x << ", " << y << ") is " << std::hex
                                               << at(shown, x, y) << ", not " << (inside ? "the skin's " : "the desktop's ")
                                               << want;
        };
        // The picture's key-coloured edge, a 100 % pixel wide, scaled from its edges (at 150 %
        // two pixels at the top and left, one at the bottom and right).
        const SIZE unscaled = m_bitmaps.Size(IDB_BACKGROUND);
        const int e = Scaled(1), right = Scaled(unscaled.cx - 1), bottom = Scaled(unscaled.cy - 1);
        for (int x = e; x < right; ++x)
            for (auto result : {check(x, e - 1, false), check(x, e, true), check(x, bottom - 1, true), check(x, bottom, false)})
                if (!result) return result;
        for (int y = e; y < bottom; ++y)
            for (auto result : {check(e - 1, y, false), check(e, y, true), check(right - 1, y, true), check(right, y, false)})
                if (!result) return result;
        return testing::AssertionSuccess();
    }

    static void ExpectRow(HWND window, bool highDefinition) {
        for (int control : kStandardRow)
            EXPECT_EQ(::IsWindowVisible(::GetDlgItem(window, control)) != 0, !highDefinition) << "control " << control;
        for (int control : kHighDefinitionRows)
            EXPECT_EQ(::IsWindowVisible(::GetDlgItem(window, control)) != 0, highDefinition) << "control " << control;
    }

    // Each picture shows its lit or unlit bitmap as expected, every pixel of it.
    testing::AssertionResult PicturesAreTheBitmaps(HWND window, const ExpectedView& view) const {
        for (const ConnectorPicture& picture : kPictures) {
            const Pixels shown = ScreenPixels(WindowRect(::GetDlgItem(window, picture.control)));
            const Pixels image = m_bitmaps.Get(picture.ExpectedLit(view) ? picture.litId : picture.unlitId, m_dpi);
            size_t differing = shown.size() == image.size() ? 0 : image.size();
            for (size_t i = 0; shown.size() == image.size() && i < image.size(); ++i) differing += shown[i] != image[i];
            if (differing != 0)
                return testing::AssertionFailure() << picture.name << ": " << differing << " of " << image.size()
                                                   << " pixels are not the bitmap's";
        }
        return testing::AssertionSuccess();
    }

    // Starts the program on the simulated adapter (its start-up message boxes must be drawn) and
    // checks its view, the outline and how the pictures answer the pointer; the screenshot is
    // kept under the scenario's name.
    void CheckScenario(const AdapterScenario& scenario, const ScenarioRun& run = {}) const {
        const std::string name = std::string(scenario.name) + (run.atiLibrary ? std::string("_") + run.atiLibrary : "");
        SCOPED_TRACE(name);
        const ExpectedView& view = *scenario.view;
        StandinDrivers drivers;
        ASSERT_TRUE(SimulateAdapter(drivers, scenario));
        ASSERT_TRUE(!run.atiLibrary || drivers.InstallAti(run.atiLibrary));
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start());
        AnswerStartupMessageBoxes(program, kStartTimeoutMs, [](HWND box, const MessageBoxSeen& seen) {
            Settle(300);
            EXPECT_TRUE(BoxIsDrawn(box)) << seen.text;
        });
        HWND window = program.WaitForWindow(kDialogClass, kMainTitle, kStartTimeoutMs);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(MoveMouseTo(POINT{5, 5}));  // away from the window
        Settle(1000);
        SaveScreenshotArtifact(name + (m_dpi == 96 ? "" : "_dpi" + std::to_string(m_dpi)));

        EXPECT_TRUE(OutlineIsTheSkinsEdge(window));
        ExpectRow(window, view.highDefinitionRow);
        EXPECT_EQ(Looks(window), Expected(view));
        EXPECT_TRUE(PicturesAreTheBitmaps(window, view));
        if (run.alsoCheck) run.alsoCheck(program, window);
        const bool startUpView = !view.sVideoLit && !view.compositeLit && !view.componentLit && !view.hdmiLit;
        for (const ConnectorPicture& picture : kPictures) {
            SCOPED_TRACE(std::string("pointer on ") + picture.name);
            // In the start-up view a picture lights while the pointer is on it; in a connector
            // view nothing the pointer does changes the pictures.
            const std::string expected = Expected(view, startUpView ? picture.control : 0);
            EXPECT_EQ(PointAtAndWait(window, picture.control, expected), expected);
        }
        EXPECT_TRUE(MoveMouseTo(POINT{5, 5}));
        Settle(500);
        EXPECT_EQ(Looks(window), Expected(view)) << "after the pointer left";
        EXPECT_TRUE(program.IsRunning());
    }

    void CheckScenarios(const std::string& namePrefix) const {
        size_t checked = 0;
        for (const AdapterScenario& scenario : kAdapterScenarios) {
            if (std::string(scenario.name).rfind(namePrefix, 0) != 0) continue;
            CheckScenario(scenario);
            ++checked;
        }
        EXPECT_GT(checked, 0u);
    }

private:
    ProgramBitmaps m_bitmaps;
    UINT m_dpi = DesktopDpi();
};

}  // namespace view_checks

using view_checks::BoxIsDrawn;
using view_checks::CornerAnimates;
using view_checks::HintPictureShown;
using view_checks::ScenarioRun;
using view_checks::ViewChecks;
