// TTessel01: the sample's settings, the one object of its own it keeps in
// the session: brightness and blur quality. It also holds what is never
// saved: the post-process textures and the scene, both made again after
// every restore.
#pragma once

#include <cstdint>

#include "module/persistence/truly_persistent.h"
#include "module/sample/_tessel01_scene.h"
#include "module/sample/tessel01_post_process.h"

class TTessel01 : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TTessel01, TTrulyPersistent)
 public:
  // Defaults: light 0.5, quality 3.
  TTessel01();
  // Frees the scene and the post-process textures.
  ~TTessel01() override;
  void RegisterFields() override;
  // The scene is not part of the saved state, and the texture names die
  // with the library's copy of the settings: both go before the save.
  void BeforeSaving() override;
  void AfterLoading() override;

  // Makes the post-process textures and writes the help text to the log.
  void Init();
  // One frame: the scene, then the bloom unless light is 1.
  void Render();
  // Sets the blur quality and announces it in the log.
  void SetQuality(int32_t new_quality);

  uint32_t tex_full;
  uint32_t tex_halv;
  uint32_t tex_dark;
  uint32_t tex_bloom;
  float light;
  TTessel01Scene* scene;
  int32_t quality;

 private:
  void CreateTextures();
  // The three textures the post-process uses.
  TPostTextures PostTextures() const;
  void DeleteTextures();
  void FreeScene();
};
