#include "pixels.h"

Pixels Grab(HDC source, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return {};
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    ::GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    Pixels pixels(first, first + width * height);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(dib);
    return pixels;
}

Pixels ScreenPixels(const RECT& r) {
    HDC screen = ::GetDC(nullptr);
    Pixels pixels = Grab(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

static HBITMAP LoadBitmapResource(UINT id, HMODULE module) {
    return static_cast<HBITMAP>(::LoadImageA(module ? module : ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

Pixels BitmapPixels(UINT id, int width, int height, HMODULE module) {
    HBITMAP bitmap = LoadBitmapResource(id, module);
    if (!bitmap) return {};
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    Pixels pixels = Grab(memory, 0, 0, width, height);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
    return pixels;
}

SIZE BitmapResourceSize(UINT id, HMODULE module) {
    HBITMAP bitmap = LoadBitmapResource(id, module);
    BITMAP info{};
    if (bitmap) ::GetObjectA(bitmap, sizeof info, &info);
    ::DeleteObject(bitmap);
    return SIZE{info.bmWidth, info.bmHeight};
}

int WhichImageShows(const Pixels& shown, const Pixels& first, const Pixels& second) {
    if (shown.size() != first.size() || first.size() != second.size()) return -1;
    size_t differing = 0, likeFirst = 0, likeSecond = 0;
    for (size_t i = 0; i < first.size(); ++i) {
        if (first[i] == second[i]) continue;
        ++differing;
        likeFirst += shown[i] == first[i];
        likeSecond += shown[i] == second[i];
    }
    if (differing && likeFirst * 10 >= differing * 9) return 0;
    if (differing && likeSecond * 10 >= differing * 9) return 1;
    return -1;
}

bool NothingLeftToPaint(HWND window) {
    if (::GetUpdateRect(window, nullptr, FALSE)) return false;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child) && ::GetUpdateRect(child, nullptr, FALSE)) return false;
    return true;
}

namespace {

BOOL CALLBACK AddResourceId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(ids)->push_back(static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

}  // namespace

std::vector<UINT> ResourceIds(LPCSTR type, HMODULE module) {
    std::vector<UINT> ids;
    ::EnumResourceNamesA(module ? module : ::GetModuleHandleA(nullptr), type, &AddResourceId,
                         reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}
