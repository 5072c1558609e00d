#include "view_checks.h"

#include <algorithm>

namespace view_checks {

testing::AssertionResult CornerAnimates(HWND window) {
    const RECT corner = WindowRect(::GetDlgItem(window, IDC_ANIMATION));
    const Pixels first = ScreenPixels(corner);
    int changes = 0;
    for (int look = 0; look < 20 && changes < 3; ++look) {
        Settle(100);
        changes += ScreenPixels(corner) != first;
    }
    if (changes >= 3) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the corner changed " << changes << " times in 2 s";
}

testing::AssertionResult BoxIsDrawn(HWND box) {
    const RECT r = WindowRect(box);
    if (r.right - r.left < 100 || r.bottom - r.top < 60)
        return testing::AssertionFailure() << "the box is " << r.right - r.left << " x " << r.bottom - r.top;
    const Pixels whole = ScreenPixels(r);
    const auto faced = std::count(whole.begin(), whole.end(), Rgb(::GetSysColor(COLOR_3DFACE)));
    const Pixels text = ScreenPixels(WindowRect(::GetDlgItem(box, 0xFFFF)));
    const auto strokes = std::count_if(text.begin(), text.end(), [](uint32_t pixel) {
        return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 200;
    });
    if (faced * 2 >= static_cast<long>(whole.size()) && strokes >= 20) return testing::AssertionSuccess();
    return testing::AssertionFailure() << faced << " of " << whole.size() << " pixels in the face colour, " << strokes
                                       << " dark pixels of text";
}

int HintPictureShown(HWND popup, const ProgramBitmaps& bitmaps) {
    const RECT area = WindowRect(popup);
    // The part of the picture the popup shows, judged where the two pictures differ.
    const int cx = std::min<int>(area.right - area.left, bitmaps.Size(IDB_HINT_HDMI).cx);
    const int cy = std::min<int>(area.bottom - area.top, bitmaps.Size(IDB_HINT_HDMI).cy);
    return WhichImageShows(ScreenPixels(RECT{area.left, area.top, area.left + cx, area.top + cy}),
                           bitmaps.Get(IDB_HINT_HDMI, cx, cy), bitmaps.Get(IDB_HINT_COMPONENT, cx, cy));
}

}  // namespace view_checks
