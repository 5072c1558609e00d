#pragma once
// Pictures of the Wine desktop, for the record of what a user sees.
#include <windows.h>

#include <string>

// Saves the whole desktop, or that part of it, as a 24-bit BMP; false when it could not be written.
bool SaveScreenshot(const std::string& path, const RECT* part = nullptr);
// Saves it as <name>.bmp into the folder named by ORVA_SCREENSHOT_DIR, when that is set.
void SaveScreenshotIfAsked(const std::string& name, const RECT* part = nullptr);
