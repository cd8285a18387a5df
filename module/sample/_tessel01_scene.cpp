#include "module/sample/_tessel01_scene.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "module/gl/gl_functions.h"
#include "module/runtime/host_functions.h"
#include "module/runtime/module_report.h"
#include "module/sample/tessel01_bloom.h"

namespace {

constexpr int32_t kTextureCount = 3 + TTessel01Scene::kFlameFrames;

std::string FlameFileName(int32_t frame) {
  return "Flame_Red_" + std::to_string(frame) + ".png";
}

// Frees a decoded picture's container however its loading ends.
class TContainerGuard {
 public:
  explicit TContainerGuard(const std::string& name) : name_(name) {}
  ~TContainerGuard() {
    if (host::DeleteContainer != nullptr) host::DeleteContainer(name_.c_str());
  }
  TContainerGuard(const TContainerGuard&) = delete;
  TContainerGuard& operator=(const TContainerGuard&) = delete;

 private:
  std::string name_;
};

}  // namespace

TTessel01Scene::TTessel01Scene(const std::string& base_dir) : base_dir_(base_dir) {
  std::array<uint32_t, kTextureCount> names{};
  gl::GenTextures(kTextureCount, names.data());
  skin_demon_ = names[0];
  skin_skull_ = names[1];
  skin_room_ = names[2];
  std::copy(names.begin() + 3, names.end(), flames_.begin());
  try {
    for (int32_t frame = 0; frame < kFlameFrames; ++frame) {
      LoadTexture(flames_[static_cast<size_t>(frame)], FlameFileName(frame));
    }
    LoadTexture(skin_demon_, "Skindemon.png");
    LoadTexture(skin_skull_, "lostsoul_Skin.png");
    LoadTexture(skin_room_, "005roche.png");
    skull_ = std::make_unique<TMD2>(base_dir_ + "content/lostsoul.MD2");
    flame_ = std::make_unique<TMD2>(base_dir_ + "content/lostsoul_flame.MD2");
    demon_ = std::make_unique<TMD2>(base_dir_ + "content/pinky.MD2");
    room_ = std::make_unique<TMD2>(base_dir_ + "content/box.MD2");
  } catch (...) {
    // The destructor does not run for a half-made scene.
    DeleteTextures();
    throw;
  }
}

TTessel01Scene::~TTessel01Scene() {
  DeleteTextures();
}

void TTessel01Scene::DeleteTextures() {
  if (gl::DeleteTextures == nullptr) return;  // the module is unbound already
  std::vector<uint32_t> names = {skin_demon_, skin_skull_, skin_room_};
  names.insert(names.end(), flames_.begin(), flames_.end());
  gl::DeleteTextures(static_cast<int32_t>(names.size()), names.data());
  skin_demon_ = skin_skull_ = skin_room_ = 0;
  flames_.fill(0);
}

void TTessel01Scene::LoadTexture(uint32_t name, const std::string& file_name) const {
  const std::string path = base_dir_ + "content/" + file_name;
  if (ModuleDetailedLog()) ModuleLogText(u"Loading \"" + WideText(path) + u"\" ... ");
  const std::string container = "$" + path;
  int32_t size = 0;
  host::LoadContainer(container.c_str(), path.c_str(), &size);
  TContainerGuard guard(container);
  int32_t width = 0, height = 0, mode = 0;
  host::StartDecodingPicture(container.c_str(), &width, &height, &mode);
  const int32_t format = mode == Im_RGBA ? GL_RGBA : GL_RGB;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) *
                              static_cast<size_t>(BytesPerPixel(static_cast<TImageMode>(mode))));
  host::FinishDecodingPicture(pixels.data());
  gl::BindTexture(GL_TEXTURE_2D, name);
  gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // Rows of RGB pictures need not be whole words.
  gl::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl::TexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, static_cast<GLenum>(format),
                 GL_UNSIGNED_BYTE, pixels.data());
  if (ModuleDetailedLog()) host::AddLogSuccess();
}

void TTessel01Scene::Render(float brightness) {
  Render(brightness,
         TSceneView{host::ScreenWidth(), host::ScreenHeight(), host::MillisecondsSinceStart()});
}

void TTessel01Scene::Render(float brightness, const TSceneView& view) {
  try {
    gl::Viewport(0, 0, view.width, view.height);
    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    // A 4:3 frustum whatever the window, as the scene was laid out for.
    const double f = std::tan(0.7853975);
    gl::Frustum(-f * 4 / 3, f * 4 / 3, -f, f, 1, 500);
    gl::Translatef(0, -50, -100);
    gl::MatrixMode(GL_MODELVIEW);

    gl::Enable(GL_DEPTH_TEST);
    gl::DepthMask(GL_TRUE);
    gl::Disable(GL_ALPHA_TEST);
    gl::Disable(GL_BLEND);
    gl::Enable(GL_CULL_FACE);
    gl::CullFace(GL_BACK);
    // Others (the console, the post-process) change it between frames.
    gl::Enable(GL_TEXTURE_2D);

    const int32_t flame_frame = FlameFrameAt(view.milliseconds);
    const float angle = SceneAngleAt(view.milliseconds);
    const TSceneColours colours = SceneColours(brightness);

    gl::LoadIdentity();
    gl::Color3f(brightness, brightness, brightness);
    gl::BindTexture(GL_TEXTURE_2D, skin_room_);
    gl::Rotatef(angle, 0, 1, 0);

    gl::PushMatrix();
    gl::Scalef(2, 2, 2);
    gl::DepthFunc(GL_ALWAYS);
    room_->Draw(0);
    gl::DepthFunc(GL_LEQUAL);
    gl::BindTexture(GL_TEXTURE_2D, skin_demon_);
    gl::PopMatrix();

    gl::PushMatrix();
    gl::Translatef(0, 0, -30);
    gl::Scalef(0.5f, 0.5f, 0.5f);
    demon_->Draw(0);
    gl::PopMatrix();

    gl::Translatef(0, 50, 30);
    gl::Rotatef(-180, 0, 1, 0);
    gl::Scalef(0.8f, 0.8f, 0.8f);
    gl::Enable(GL_ALPHA_TEST);
    gl::AlphaFunc(GL_GREATER, 0.5f);
    gl::Color3f(colours.skull, colours.skull, colours.skull);
    gl::BindTexture(GL_TEXTURE_2D, skin_skull_);
    skull_->Draw(0);

    gl::Enable(GL_BLEND);
    gl::AlphaFunc(GL_GREATER, 0);
    gl::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl::Color3f(colours.flame, colours.flame, colours.flame);
    gl::BindTexture(GL_TEXTURE_2D, flames_[static_cast<size_t>(flame_frame)]);
    flame_->Draw(0);
  } catch (...) {
    ModuleFatalErrorInContext(u"Scene render crashed");
  }
}
