#include <SDL.h>
#include <gtest/gtest.h>

#include "host/platform/input_events.h"

namespace {

TEST(PlatformScanCodes, SetOneCodesOfTheKeysTheEngineNames) {
  struct Case {
    SDL_Scancode sdl;
    int32_t set_one;
  };
  const Case cases[] = {
      {SDL_SCANCODE_ESCAPE, 1},    {SDL_SCANCODE_1, 2},          {SDL_SCANCODE_9, 10},
      {SDL_SCANCODE_0, 11},        {SDL_SCANCODE_RETURN, 28},    {SDL_SCANCODE_SPACE, 57},
      {SDL_SCANCODE_GRAVE, 41},    {SDL_SCANCODE_F1, 59},        {SDL_SCANCODE_F10, 68},
      {SDL_SCANCODE_F11, 87},      {SDL_SCANCODE_F12, 88},       {SDL_SCANCODE_UP, 72},
      {SDL_SCANCODE_DOWN, 80},     {SDL_SCANCODE_LEFT, 75},      {SDL_SCANCODE_RIGHT, 77},
      {SDL_SCANCODE_INSERT, 82},   {SDL_SCANCODE_DELETE, 83},    {SDL_SCANCODE_HOME, 71},
      {SDL_SCANCODE_END, 79},      {SDL_SCANCODE_PAGEUP, 73},    {SDL_SCANCODE_PAGEDOWN, 81},
      {SDL_SCANCODE_KP_ENTER, 28}, {SDL_SCANCODE_RCTRL, 29},     {SDL_SCANCODE_LCTRL, 29},
      {SDL_SCANCODE_A, 30},        {SDL_SCANCODE_Q, 16},         {SDL_SCANCODE_Z, 44},
      {SDL_SCANCODE_M, 50},        {SDL_SCANCODE_LSHIFT, 42},    {SDL_SCANCODE_RSHIFT, 54},
      {SDL_SCANCODE_KP_7, 71},     {SDL_SCANCODE_KP_PERIOD, 83}, {SDL_SCANCODE_UNKNOWN, 0},
      {SDL_SCANCODE_AUDIOPLAY, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::SetOneScanCode(c.sdl), c.set_one) << SDL_GetScancodeName(c.sdl);
  }
}

TEST(PlatformScanCodes, EveryCodeIsInTheKeyTableRange) {
  for (int sdl = 0; sdl < SDL_NUM_SCANCODES; ++sdl) {
    const int32_t code = platform::SetOneScanCode(sdl);
    EXPECT_GE(code, 0);
    EXPECT_LE(code, 255);
  }
}

}  // namespace
