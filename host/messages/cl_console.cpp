#include "host/messages/cl_console.h"

#include <algorithm>
#include <cmath>

#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/display/gl_host_functions.h"
#include "host/messages/console_textures.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "shared/text_codes.h"

namespace {

constexpr float kFontSheetSize = 256;
constexpr int kGlyphWidth = 10;
constexpr int kGlyphHeight = 13;
constexpr int kGlyphLeft = 4;  // texels from the cell's left
constexpr int kGlyphTop = 2;   // texels from the cell's top
constexpr int kFontCellSize = 16;
constexpr float kNoiseAlpha = 0.3f;

// A quad in window pixels (origin bottom left) with t0 at its top edge.
void TexturedQuad(float left, float bottom, float right, float top, float s0, float t0, float s1,
                  float t1) {
  hostgl::TexCoord2f(s0, t0);
  hostgl::Vertex2f(left, top);
  hostgl::TexCoord2f(s1, t0);
  hostgl::Vertex2f(right, top);
  hostgl::TexCoord2f(s1, t1);
  hostgl::Vertex2f(right, bottom);
  hostgl::TexCoord2f(s0, t1);
  hostgl::Vertex2f(left, bottom);
}

void WholeWindowQuad(int width, int height, float s1, float t0, float t1) {
  hostgl::Begin(GL_QUADS);
  TexturedQuad(0, 0, static_cast<float>(width), static_cast<float>(height), 0, t0, s1, t1);
  hostgl::End();
}

int AtLeastOne(int value) {
  return value < 1 ? 1 : value;
}

}  // namespace

TConsole::TConsole() : noise_(kNoiseSize * kNoiseSize, 0) {}

void TConsole::Create() {
  max_lines_ = 1000;
  AddLine("    ********  ZOK LOG  ********");
}

void TConsole::Setup() {
  try {
    ReadSettings();
    LoadTextures();
  } catch (...) {
    FatalError(MI_DIED_INITIALIZING, {ChooseLiteral(WideToCp1251(u"консоли"), "console")});
  }
}

void TConsole::ReadSettings() {
  max_lines_ = g_config->ReadIntLimited("console", "MaxLines", 150, 10000);
  // Times below 1 ms would divide the fading by zero.
  display_ms_ = AtLeastOne(g_config->ReadInt("console", "MessageDisplayTime"));
  fade_ms_ = AtLeastOne(g_config->ReadInt("console", "MessageFadeOutTime"));
  double_size_threshold_ =
      g_config->ReadIntLimited("console", "DoubleSizeIfResolutionHighetThan", 1024, 2048);
}

void TConsole::LoadTextures() {
  const TDecodedPicture font = TakeSharedPicture("$console.png");
  if (font.mode != Im_RGBA) FatalErrorText("WTF?! console.png is not RGBA!");
  // Glyphs stay sharp when magnified.
  font_texture_ = NewConsoleTexture(GL_LINEAR, GL_NEAREST);
  UploadConsolePixels(GL_LUMINANCE_ALPHA, GL_RGBA, font.width, font.height, font.pixels.data());

  const TDecodedPicture crash = TakeSharedPicture("$bsod.png");
  if (crash.mode != Im_RGB) FatalErrorText("WTF?! bsod.png is not RGB!");
  crash_texture_ = NewConsoleTexture(GL_LINEAR, GL_LINEAR);
  UploadConsolePixels(GL_LUMINANCE, GL_RGB, crash.width, crash.height, crash.pixels.data());

  noise_texture_ = NewConsoleTexture(GL_LINEAR, GL_LINEAR);
}

void TConsole::SetOpen(bool open) {
  open_ = open;
  if (!open) scroll_ = 0;
}

void TConsole::Draw(int width, int height, bool crash) {
  const int64_t ms = std::llround(static_cast<double>(Now() - last_add_ns_) / 1e6);
  if (!crash && !open_ && ms >= static_cast<int64_t>(display_ms_) + fade_ms_) {
    new_index_ = -1;
    return;
  }
  if (crash) open_ = true;
  scroll_ = std::max(scroll_, 0);
  if (!open_) scroll_ = 0;
  if (!hostgl::Begin || width <= 0 || height <= 0) return;

  BeginOverlay(width, height);
  if (crash) DrawCrashScreen(width, height);
  DrawText(width, height, ms);
}

void TConsole::BeginOverlay(int width, int height) {
  hostgl::Viewport(0, 0, width, height);
  hostgl::MatrixMode(GL_PROJECTION);
  hostgl::LoadIdentity();
  hostgl::Ortho(0, width, 0, height, -1, 1);
  hostgl::MatrixMode(GL_MODELVIEW);
  hostgl::LoadIdentity();
  hostgl::Enable(GL_TEXTURE_2D);
  hostgl::Enable(GL_BLEND);
  hostgl::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  hostgl::Enable(GL_ALPHA_TEST);
  hostgl::AlphaFunc(GL_GREATER, 0);
  hostgl::Disable(GL_DEPTH_TEST);
  hostgl::Disable(GL_CULL_FACE);
  // A module that lights its scene would otherwise colour the text.
  hostgl::Disable(GL_LIGHTING);
}

void TConsole::DrawCrashScreen(int width, int height) {
  // The grey picture turns blue; its top half is English, the bottom Russian.
  hostgl::BindTexture(GL_TEXTURE_2D, crash_texture_);
  hostgl::Color3f(0, 0, 1);
  const float top = IsRussianLanguage() ? 0.5f : 0.0f;
  WholeWindowQuad(width, height, 1, top, top + 0.5f);

  StepNoise(noise_, random_);
  hostgl::BindTexture(GL_TEXTURE_2D, noise_texture_);
  UploadConsolePixels(GL_LUMINANCE, GL_LUMINANCE, kNoiseSize, kNoiseSize, noise_.data());
  hostgl::Color4f(1, 1, 1, kNoiseAlpha);
  WholeWindowQuad(width, height, 2, 0, 2);
}

void TConsole::DrawText(int width, int height, int64_t ms) {
  const TConsoleGrid grid = ConsoleGrid(width, height, double_size_threshold_);
  const std::optional<TConsoleView> view =
      ChooseConsoleLines(lines_, grid, open_, new_index_, scroll_);
  if (!view) return;
  const TConsoleColour colour = ConsoleTextColour(open_, ms, display_ms_, fade_ms_);

  hostgl::BindTexture(GL_TEXTURE_2D, font_texture_);
  hostgl::Color4f(colour.red, colour.green, colour.blue, colour.alpha);
  hostgl::Begin(GL_QUADS);
  const float scale = static_cast<float>(grid.scale);
  for (const TConsoleGlyph& glyph : LayOutConsoleLines(lines_, grid, *view)) {
    const float left = (kConsoleCellWidth * glyph.column + kConsoleMargin) * scale;
    const float top = height - (kConsoleCellHeight * glyph.row + kConsoleMargin) * scale;
    const float s0 = (kFontCellSize * (glyph.code % 16) + kGlyphLeft) / kFontSheetSize;
    const float t0 = (kFontCellSize * (glyph.code / 16) + kGlyphTop) / kFontSheetSize;
    TexturedQuad(left, top - kGlyphHeight * scale, left + kGlyphWidth * scale, top, s0, t0,
                 s0 + kGlyphWidth / kFontSheetSize, t0 + kGlyphHeight / kFontSheetSize);
  }
  hostgl::End();
}
