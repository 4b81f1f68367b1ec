// Writing pixels as a PNG file (screenshots for tests and people).
#pragma once

#include <string>

#include "platform/ui/quickdraw/QuickDraw.h"

// Writes the pixels (0xAARRGGBB) as an 8-bit RGB PNG; false on failure.
bool WritePNG(const QDPixels& pixels, const std::string& path);
