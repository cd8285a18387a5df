// The splash screen shown while the host starts: one of a few bitmaps,
// picked once per run, centred on the screen. Everything that goes wrong
// just leaves the host without a splash.
#pragma once

#include <cstdint>
#include <string>

// Shows the splash if its picture loads. Section splashscreen: numvariants
// pictures named path + "splash" + n + ".bmp".
void CreateSplash();
// A second call does nothing.
void DeleteSplash();
// Re-shows a shown splash (with the same picture) on top of a changed
// display; does nothing while none is shown.
void RefreshSplash();

bool SplashShown();
// The picture of this run; empty until the first CreateSplash.
const std::string& SplashFileName();
// Where a picture of that extent starts so as to be centred on the
// screen: negative when it is larger.
int32_t SplashOrigin(int32_t screen_extent, int32_t picture_extent);
// Where the shown splash is; (0, 0) while none is shown.
void SplashPosition(int32_t& x, int32_t& y);

// Deletes the splash and forgets the picture chosen for this run.
void ResetSplashForTests();
