// TModule: the module object's base class. All game state hangs off one
// module object; it turns host events into calls on its game and menu,
// and survives an unload of the library through the session file
// (mo_session.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "module/persistence/class_registration.h"
#include "module/persistence/truly_persistent.h"
#include "module/persistence/type_registry.h"

class TGame;
class TMenu;
class TGlobalOptions;
class TIndexer;

// One 32-bit boolean per key code from -5 (mouse wheel) to 227.
constexpr int32_t kLowestKeyCode = -5;
constexpr int32_t kHighestKeyCode = 227;
using TKeyboardState = std::array<int32_t, kHighestKeyCode - kLowestKeyCode + 1>;

class TModule : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TModule, TTrulyPersistent)
 public:
  // A new module object: it becomes the module object, takes the current
  // paths and creates its options and texture index.
  TModule();
  // Frees the game, the texture index and the options. The menu and its
  // controls belong to whoever built them.
  ~TModule() override;
  void RegisterFields() override;
  void BeforeSaving() override;
  // Only refreshes the paths: the sweep of unclaimed textures waits until
  // every loaded texture has claimed its name (see ModuleStart).
  void AfterLoading() override;

  virtual void ResetFrameTime();
  virtual void LoseFocus() {}
  // One frame; 1 when something was drawn.
  virtual int32_t Cycle();
  virtual void FirstRun() {}
  virtual void Press(int32_t key);
  virtual void Release(int32_t key);
  virtual void MouseMove(int32_t x, int32_t y);
  virtual void GameNotRendered() {}
  virtual void NoGame() {}

  // Event dispatch; 1 for the events handled, 0 for the others.
  int32_t Handle(int32_t code, int32_t a, int32_t b, int32_t c);
  // Writes the session file, replacing the previous one only once the new
  // one is complete.
  void SaveSession();
  void UpdatePaths();
  // The session file of this module, and the temporary file it is written to.
  std::string SessionFileName() const;
  std::string TemporarySessionFileName() const;
  // Whether key has a slot in KeyDown.
  static bool IsKeyTracked(int32_t key);

  std::string f_basedir;
  std::string f_selfname;
  std::string f_savepath;
  std::string f_sessionpath;
  int32_t f_firstrun;
  float f_FrameTime;
  TMenu* Menu;
  TGame* Game;
  TGlobalOptions* Options;
  TIndexer* TextureIndex;
  int32_t GamePaused;
  int32_t RenderFailed;
  float PrevFrameTime;
  int32_t mousex;
  int32_t mousey;
  TKeyboardState KeyDown;

 private:
  void SetKey(int32_t key, bool down);
  // Whether input goes to the game: no menu takes it and play runs.
  bool GameTakesInput() const;
};

// The module object: the new or restored one, null before the start and
// after Re_OnDestroy.
TModule*& ModuleObject();

// Registers T unless it already is, so that a derived module may register
// classes the base class registers too, in the order its own fields need.
template <class T>
void RegClassOnce() {
  if (ClassIndexOf(T::StaticClass()) < 0) RegClass<T>();
}
