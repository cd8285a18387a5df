// TGame: the base of a running game the module object drives every frame.
// Every operation does nothing by default; a concrete game derives.
#pragma once

#include <cstdint>

#include "module/framework/mo_indexer.h"
#include "module/persistence/truly_persistent.h"

class TGame : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TGame, TTrulyPersistent)
 public:
  TGame() : ObjectIndex(nullptr) {}
  void RegisterFields() override;
  void BeforeSaving() override {}
  void AfterLoading() override {}

  // Time passes in steps of at most a tenth of a second: a longer dt calls
  // Advance again, through the virtual slot, with dt less one step.
  virtual void Advance(float dt);
  // True when the game drew something.
  virtual bool Render() { return false; }
  virtual void MouseMove(int32_t, int32_t) {}
  virtual void Press(int32_t) {}
  virtual void Release(int32_t) {}

  TIndexer* ObjectIndex;  // set by a derived game; not owned here
};
