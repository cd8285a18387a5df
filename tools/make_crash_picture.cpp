// Makes the crash screen's picture: a grey RGB picture that the host tints
// blue, the English screen in the top half and the Russian one below.
// Usage: zok_make_crash_picture SANS.ttf OUT.png
#include <cstdio>
#include <string>
#include <vector>

#include "pictures/canvas.h"
#include "pictures/text_raster.h"

namespace {

constexpr int kWidth = 512;
constexpr int kHalf = 256;
const TColour kBackground{40, 40, 40, 255};
const TColour kPanel{70, 70, 70, 255};
const TColour kFrame{200, 200, 200, 255};
const TColour kText{255, 255, 255, 255};
const TColour kQuiet{235, 235, 235, 255};

struct TScreenText {
  std::string title;
  std::vector<std::string> body;
};

void DrawCentred(TCanvas& canvas, TTextRaster& raster, int baseline, const std::string& text,
                 TColour colour) {
  raster.Draw(canvas, (kWidth - raster.Measure(text)) / 2, baseline, text, colour);
}

// The text sits low: the console's lines cover the top of the window.
void DrawScreen(TCanvas& canvas, TTextRaster& title_font, TTextRaster& body_font, int top,
                const TScreenText& text) {
  canvas.FillRect(40, top + 96, kWidth - 80, 136, kPanel);
  canvas.FrameRect(40, top + 96, kWidth - 80, 136, 2, kFrame);
  DrawCentred(canvas, title_font, top + 132, text.title, kText);
  int baseline = top + 162;
  for (const std::string& line : text.body) {
    DrawCentred(canvas, body_font, baseline, line, kQuiet);
    baseline += 20;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SANS.ttf OUT.png\n", argv[0]);
    return 2;
  }
  TTextRaster title_font(argv[1], 22);
  TTextRaster body_font(argv[1], 14);
  TCanvas picture(kWidth, 2 * kHalf, 3, kBackground);
  DrawScreen(
      picture, title_font, body_font, 0,
      {"The module is out of service",
       {"The host goes on running; the log above tells why.",
        "Rebuild the module to load it again,", "or switch to another one with its hot key."}});
  DrawScreen(picture, title_font, body_font, kHalf,
             {"Модуль выведен из работы",
              {"Программа продолжает работать; причина — в журнале.",
               "Пересоберите модуль, и он загрузится снова,",
               "или переключитесь на другой модуль его клавишей."}});
  WritePng(picture, argv[2]);
  return 0;
}
