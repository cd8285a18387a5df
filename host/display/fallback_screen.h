// What the window shows when no module draws its frame.
#pragma once

#include <cstdint>

void DrawFallbackScreen(int32_t width, int32_t height);
