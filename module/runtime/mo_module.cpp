#include "module/runtime/mo_module.h"

#include "module/framework/mo_game.h"
#include "module/framework/mo_globopts.h"
#include "module/framework/mo_indexer.h"
#include "module/framework/mo_menu.h"
#include "module/gl/gl_binding.h"
#include "module/graphics/mo_textures.h"
#include "module/runtime/host_functions.h"
#include "module/runtime/module_globals.h"
#include "shared/zok_protocol.h"

namespace {

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameWithoutExtension(const std::string& path) {
  const std::string name = path.substr(DirectoryOf(path).size());
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void RebindGL() {
  gl::ClearGL();
  gl::BindGL();
}

}  // namespace

TModule*& ModuleObject() {
  static TModule* module = nullptr;
  return module;
}

TModule::TModule()
    : f_firstrun(1),
      f_FrameTime(0.0f),
      Menu(nullptr),
      Game(nullptr),
      Options(nullptr),
      TextureIndex(nullptr),
      GamePaused(0),
      RenderFailed(0),
      PrevFrameTime(0.0f),
      mousex(0),
      mousey(0),
      KeyDown{} {
  UpdatePaths();
  Options = new TGlobalOptions();
  TextureIndex = new TIndexer();
  // Last: a constructor that failed above leaves no module object behind.
  ModuleObject() = this;
}

TModule::~TModule() {
  delete Game;
  delete TextureIndex;
  delete Options;
  if (ModuleObject() == this) ModuleObject() = nullptr;
}

void TModule::RegisterFields() {
  RegClassOnce<TIndexer>();
  RegClassOnce<TGame>();
  RegClassOnce<TMenu>();
  RegClassOnce<TGlobalOptions>();
  RegClassOnce<TBasicTexture2d>();
  RegType("TKeyboardState", zt::LongBool, static_cast<int32_t>(sizeof(TKeyboardState)));
  TTrulyPersistent::RegisterFields();
  RegSkip("f_basedir", f_basedir, zt::AnsiString);
  RegSkip("f_selfname", f_selfname, zt::AnsiString);
  RegSkip("f_savepath", f_savepath, zt::AnsiString);
  RegSkip("f_sessionpath", f_sessionpath, zt::AnsiString);
  RegField("f_firstrun", f_firstrun, zt::LongBool);
  RegSkip("f_FrameTime", f_FrameTime, zt::Single);
  RegField("Menu", Menu);
  RegField("Game", Game);
  RegField("Options", Options);
  RegField("TextureIndex", TextureIndex);
  RegField("GamePaused", GamePaused, zt::LongBool);
  RegField("RenderFailed", RenderFailed, zt::LongBool);
  RegField("PrevFrameTime", PrevFrameTime, zt::Single);
  RegField("mousex", mousex, zt::LongInt);
  RegField("mousey", mousey, zt::LongInt);
  RegField("KeyDown", KeyDown, "TKeyboardState");
}

void TModule::BeforeSaving() {
  host::ClearTextureMarks();
}

void TModule::AfterLoading() {
  UpdatePaths();
}

void TModule::UpdatePaths() {
  const TModuleGlobals& globals = Module();
  f_basedir = DirectoryOf(globals.module_path);
  f_selfname = NameWithoutExtension(globals.module_path);
  f_savepath = globals.save_path;
  f_sessionpath = globals.session_path;
}

std::string TModule::SessionFileName() const {
  return f_sessionpath + f_selfname + ".zok";
}

std::string TModule::TemporarySessionFileName() const {
  return f_sessionpath + f_selfname + ".$$$";
}

void TModule::ResetFrameTime() {
  f_FrameTime = 0.0f;
}

int32_t TModule::Handle(int32_t code, int32_t a, int32_t b, int32_t) {
  if (f_firstrun != 0) {
    FirstRun();
    f_firstrun = 0;
    RebindGL();
    ResetFrameTime();
  }
  switch (code) {
    case Re_OnGetFocus:
      RebindGL();
      ResetFrameTime();
      return 1;
    case Re_OnLoseFocus:
      LoseFocus();
      return 1;
    case Re_OnMouseMove:
      MouseMove(a, b);
      return 1;
    case Re_OnPress:
      Press(a);
      return 1;
    case Re_OnRelease:
      Release(a);
      return 1;
    case Re_OnCycle:
      Cycle();
      return 1;
    default:
      return 0;
  }
}

int32_t TModule::Cycle() {
  f_FrameTime += host::FrameTime();
  PrevFrameTime = f_FrameTime;
  f_FrameTime = 0.0f;
  if (Menu != nullptr) Menu->Cycle();
  if (Game != nullptr && GamePaused == 0) Game->Advance(PrevFrameTime);
  bool drawn = false;
  if (Game != nullptr) {
    drawn = Game->Render();
    if (!drawn) GameNotRendered();
  } else {
    NoGame();
  }
  if (Menu != nullptr) {
    Menu->Render();
    drawn = true;
  }
  return drawn ? 1 : 0;
}

bool TModule::IsKeyTracked(int32_t key) {
  return key >= kLowestKeyCode && key <= kHighestKeyCode;
}

// Scan codes above 227 reach the menu and the game but have no slot.
void TModule::SetKey(int32_t key, bool down) {
  if (IsKeyTracked(key)) KeyDown[static_cast<size_t>(key - kLowestKeyCode)] = down ? 1 : 0;
}

bool TModule::GameTakesInput() const {
  return Menu == nullptr && Game != nullptr && GamePaused == 0;
}

void TModule::Press(int32_t key) {
  SetKey(key, true);
  if (Menu != nullptr) {
    Menu->Press(key);
  } else if (GameTakesInput()) {
    Game->Press(key);
  }
}

void TModule::Release(int32_t key) {
  SetKey(key, false);
  if (Menu != nullptr) {
    Menu->Release(key);
  } else if (GameTakesInput()) {
    Game->Release(key);
  }
}

void TModule::MouseMove(int32_t x, int32_t y) {
  if (Menu != nullptr) {
    Menu->MouseMove(x, y);
  } else if (GameTakesInput()) {
    Game->MouseMove(x, y);
  }
}
