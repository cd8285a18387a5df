// Pictures the host preloads into named containers at start-up, so that the
// console overlay and modules decode them by name without touching the
// file system.
#pragma once

#include <array>

struct TSharedResource {
  const char* container_name;
  const char* file;  // under the base path
};

inline constexpr std::array<TSharedResource, 5> kSharedResources{{
    {"$console.png", "zok/texture/console.png"},
    {"$bsod.png", "zok/texture/bsod.png"},
    {"$defaultfont.png", "zok/texture/font/default_2.png"},
    {"$fpsmeter.png", "zok/texture/fpsmeter.png"},
    {"$shit_happens.png", "zok/texture/shit_happens.png"},
}};

// Loads every one from the base path; a missing file is fatal
// (MI_ERROR_FILE_NOT_FOUND).
void LoadSharedResources();
