#include "screenshot.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

bool SaveScreenshot(const std::string& path, const RECT* part) {
    const RECT whole{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const RECT& shot = part ? *part : whole;
    const int width = shot.right - shot.left;
    const int height = shot.bottom - shot.top;
    const int stride = (width * 3 + 3) & ~3;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    std::unique_ptr<BYTE[]> pixels(new BYTE[static_cast<size_t>(stride) * height]);

    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, shot.left, shot.top, SRCCOPY);
    ::SelectObject(memory, old);
    const int rows = ::GetDIBits(memory, bitmap, 0, height, pixels.get(), reinterpret_cast<BITMAPINFO*>(&header),
                                 DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (rows != height) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * height;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&header, sizeof header, 1, out) == 1 &&
                    std::fwrite(pixels.get(), static_cast<size_t>(stride) * height, 1, out) == 1;
    return std::fclose(out) == 0 && ok;
}

void SaveScreenshotIfAsked(const std::string& name, const RECT* part) {
    const char* folder = std::getenv("ORVA_SCREENSHOT_DIR");
    if (!folder || !*folder) return;
    ::CreateDirectoryA(folder, nullptr);
    SaveScreenshot(std::string(folder) + "\\" + name + ".bmp", part);
}
