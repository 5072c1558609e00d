#pragma once
// Pictures of the Wine desktop, for the record of what a user sees.
#include <string>

// Saves the whole desktop as a 24-bit BMP; false when it could not be written.
bool SaveScreenshot(const std::string& path);
// Saves it as <name>.bmp into the folder named by ORVA_SCREENSHOT_DIR, when that is set.
void SaveScreenshotIfAsked(const std::string& name);
