// A module object, a game, a control and a texture that record what
// reaches them, for the module object's tests.
#pragma once

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "module/framework/mo_controls.h"
#include "module/framework/mo_game.h"
#include "module/framework/mo_menu.h"
#include "module/graphics/mo_textures.h"
#include "module/runtime/mo_module.h"
#include "support/fake_module_host.h"

namespace module_test {

inline std::vector<std::string>& Events() {
  return TFakeModuleHost::Get().calls;
}

constexpr int32_t kThrowingKey = 99;

class TRecordingGame : public TGame {
  ZOK_PERSISTENT_CLASS(TRecordingGame, TGame)
 public:
  TRecordingGame() : f_renders(0) {}
  void RegisterFields() override {
    TGame::RegisterFields();
    RegField("f_renders", f_renders, zt::LongInt);
  }
  void Advance(float dt) override {
    advances().push_back(dt);
    TGame::Advance(dt);
  }
  bool Render() override {
    Events().push_back("game Render");
    return f_renders != 0;
  }
  void MouseMove(int32_t x, int32_t y) override {
    Events().push_back("game MouseMove " + std::to_string(x) + " " + std::to_string(y));
  }
  void Press(int32_t key) override { Events().push_back("game Press " + std::to_string(key)); }
  void Release(int32_t key) override { Events().push_back("game Release " + std::to_string(key)); }
  static std::vector<float>& advances() {
    static std::vector<float> values;
    return values;
  }

  int32_t f_renders;  // nonzero: Render reports a drawn frame
};

// Named by f_left in the events it records.
class TRecordingControl : public TAbstractMotherHenControl {
  ZOK_PERSISTENT_CLASS(TRecordingControl, TAbstractMotherHenControl)
 public:
  explicit TRecordingControl(int32_t id) { f_left = id; }
  void Press(int32_t key) override { Record("Press " + std::to_string(key)); }
  void MouseMove(int32_t x, int32_t y) override {
    Record("MouseMove " + std::to_string(x) + " " + std::to_string(y));
  }
  void Cycle() override { Record("Cycle"); }
  void Render() override { Record("Render"); }

 private:
  void Record(const std::string& what) {
    Events().push_back("control " + std::to_string(f_left) + " " + what);
  }
};

// Records its claim instead of asking the host, and holds no host names:
// these tests are about the order of the module's save and load.
class TClaimingTexture : public TBasicTexture2d {
  ZOK_PERSISTENT_CLASS(TClaimingTexture, TBasicTexture2d)
 public:
  TClaimingTexture() : TBasicTexture2d(TBlank{}) {
    f_unclaimed = 0;
    f_sourcename = "wall.png";
    f_index = -1;
    f_Token = f_thumbToken = 0;
    f_name = f_thumbname = 0;
    f_thumbformat = 0;
    f_target = kTextureTarget2d;
    f_priority = f_ReloadUrgency = 0.0f;
    f_HasMips = 1;
    f_AlphaKind = Gradient_Alpha;
    f_boundthisframe = 0;
  }
  void BeforeSaving() override {}
  void AfterLoading() override { Events().push_back("claim " + f_sourcename); }
};

class TTestModule : public TModule {
  ZOK_PERSISTENT_CLASS(TTestModule, TModule)
 public:
  TTestModule() : f_firstruns(0) {}
  // The menu and its controls belong to whoever built them: here the
  // module, so that loaded ones are freed too.
  ~TTestModule() override {
    FreeMenu();
    std::set<TTrulyPersistent*> textures;
    for (int32_t i = 0; TextureIndex != nullptr && i < TextureIndex->Length(); ++i) {
      textures.insert(TextureIndex->f_d->GetItem(i));
    }
    for (TTrulyPersistent* texture : textures) delete texture;
  }
  void RegisterFields() override {
    TModule::RegisterFields();
    RegField("f_firstruns", f_firstruns, zt::LongInt);
  }
  void FirstRun() override { ++f_firstruns; }
  void LoseFocus() override { Events().push_back("LoseFocus"); }
  void GameNotRendered() override { Events().push_back("GameNotRendered"); }
  void NoGame() override { Events().push_back("NoGame"); }
  void Press(int32_t key) override {
    if (key == kThrowingKey) throw std::runtime_error("boom");
    TModule::Press(key);
  }

  void FreeMenu() {
    TMenu* menu = Menu;
    if (menu == nullptr) return;
    Menu = nullptr;
    std::vector<TTrulyPersistent*> controls;
    for (int32_t i = 0; menu->Control != nullptr && i < menu->Control->Length; ++i) {
      controls.push_back((*menu->Control)[i]);
    }
    delete menu;
    for (TTrulyPersistent* control : controls) delete control;
  }

  int32_t f_firstruns;
};

// The classes a test module registers beyond the module's own.
inline void RegisterTestClasses() {
  RegClass<TTestModule>();
  RegClassOnce<TControl>();
  RegClassOnce<TAbstractMotherHenControl>();
  RegClassOnce<TVerticalTable>();
  RegClassOnce<THorizontalTable>();
  RegClassOnce<TRecordingControl>();
  RegClassOnce<TRecordingGame>();
  RegClassOnce<TClaimingTexture>();
}

}  // namespace module_test
