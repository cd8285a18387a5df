// The sample's scene: a room, a demon and a flying skull with its animated
// flame, turning slowly. It is never saved: the settings object frees it
// before every save and the next frame loads it again.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "module/graphics/md2.h"
#include "shared/zok_object.h"

// The window the scene is drawn into and the time it is drawn at.
struct TSceneView {
  int32_t width;
  int32_t height;
  int64_t milliseconds;  // since the host started
};

class TTessel01Scene : public TObject {
 public:
  // Loads the skins through the host's picture decoder and the models from
  // base_dir + "content/"; a missing or bad file throws.
  explicit TTessel01Scene(const std::string& base_dir);
  ~TTessel01Scene() override;
  TTessel01Scene(const TTessel01Scene&) = delete;
  TTessel01Scene& operator=(const TTessel01Scene&) = delete;
  const char* ClassName() const override { return "TTessel01Scene"; }

  // The frame at brightness b, in the host's window at the host's time. A
  // failure is reported as the scene's render having crashed.
  void Render(float brightness);
  void Render(float brightness, const TSceneView& view);

  static constexpr int32_t kFlameFrames = 8;

 private:
  void LoadTexture(uint32_t name, const std::string& file_name) const;
  void DeleteTextures();

  std::string base_dir_;
  uint32_t skin_demon_ = 0;
  uint32_t skin_skull_ = 0;
  uint32_t skin_room_ = 0;
  std::array<uint32_t, kFlameFrames> flames_{};
  std::unique_ptr<TMD2> skull_;
  std::unique_ptr<TMD2> flame_;
  std::unique_ptr<TMD2> demon_;
  std::unique_ptr<TMD2> room_;
};
