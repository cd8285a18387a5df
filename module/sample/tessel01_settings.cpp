#include "module/sample/tessel01_settings.h"

#include <cstdio>
#include <string>

#include "module/gl/gl_functions.h"
#include "module/persistence/type_description.h"
#include "module/runtime/host_functions.h"
#include "module/runtime/mo_module.h"
#include "module/runtime/module_report.h"
#include "module/sample/tessel01_bloom.h"
#include "module/sample/tessel01_post_process.h"
#include "module/sample/tessel01_texts.h"

TTessel01::TTessel01()
    : tex_full(0),
      tex_halv(0),
      tex_dark(0),
      tex_bloom(0),
      light(kDefaultLight),
      scene(nullptr),
      quality(kDefaultQuality) {
  Init();
}

TTessel01::~TTessel01() {
  FreeScene();
  DeleteTextures();
}

void TTessel01::RegisterFields() {
  TTrulyPersistent::RegisterFields();
  RegSkip("tex_full", tex_full, zt::LongWord);
  RegSkip("tex_halv", tex_halv, zt::LongWord);
  RegSkip("tex_dark", tex_dark, zt::LongWord);
  RegSkip("tex_bloom", tex_bloom, zt::LongWord);
  RegField("light", light, zt::Single);
  RegSkipPtr("scene", scene);
  RegField("quality", quality, zt::LongInt);
}

void TTessel01::BeforeSaving() {
  FreeScene();
  DeleteTextures();
}

void TTessel01::AfterLoading() {
  Init();
  // Tells the programmer, and the tests, what a reload carried over.
  char light_text[32];
  std::snprintf(light_text, sizeof light_text, "%.2f", static_cast<double>(light));
  ModuleVerboseLog(u"Tessel01 settings restored: light %0, quality %1", {light_text, quality});
}

void TTessel01::Init() {
  CreateTextures();
  for (std::u16string_view line : kTessel01HelpText) ModuleLogText(std::u16string(line));
}

void TTessel01::CreateTextures() {
  uint32_t names[4] = {};
  gl::GenTextures(4, names);
  tex_full = names[0];
  tex_halv = names[1];
  tex_dark = names[2];
  tex_bloom = names[3];
  AllocatePostTextures(PostTextures(), kFullTextureSize);
}

TPostTextures TTessel01::PostTextures() const {
  return TPostTextures{tex_full, tex_halv, tex_dark};
}

void TTessel01::DeleteTextures() {
  if (tex_full == 0 || gl::DeleteTextures == nullptr) return;
  const uint32_t names[4] = {tex_full, tex_halv, tex_dark, tex_bloom};
  gl::DeleteTextures(4, names);
  tex_full = tex_halv = tex_dark = tex_bloom = 0;
}

void TTessel01::FreeScene() {
  delete scene;
  scene = nullptr;
}

void TTessel01::SetQuality(int32_t new_quality) {
  quality = new_quality;
  const std::u16string_view announcement = QualityAnnouncement(quality);
  if (!announcement.empty()) ModuleLogText(std::u16string(announcement));
}

void TTessel01::Render() {
  light = ClampLight(light);
  if (scene == nullptr) scene = new TTessel01Scene(ModuleObject()->f_basedir);
  const TBloomPlan plan = PlanBloom(light, quality);
  scene->Render(plan.brightness);
  if (!plan.post_process) return;

  const int32_t width = host::ScreenWidth();
  const int32_t height = host::ScreenHeight();
  // A save without an unload (or a lost context) leaves no textures.
  if (tex_full == 0) CreateTextures();
  const int32_t full_size = FullTextureSizeFor(width, height);
  if (AllocatedTextureSize(tex_full) != full_size) AllocatePostTextures(PostTextures(), full_size);
  PostProcessFrame(PostTextures(), full_size, width, height, plan);
}
