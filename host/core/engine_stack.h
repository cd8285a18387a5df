// The engine object stack: engine objects in creation order, destroyed from
// the last to the first.
#pragma once

#include "host/core/engine_object.h"
#include "shared/dyna/dyna_types.h"

class TEngineStack {
 public:
  ~TEngineStack();
  void Push(TEngineObject* object) { objects_.Add(object); }
  int32_t Length() const { return objects_.Length; }

  // Destroys every object from the last to the first, logging each step.
  // A failing object is reported into the error list and skipped; the ones
  // below it are still destroyed.
  void DestroyAll();

 private:
  TAOO objects_;  // Owns stays false: DestroyAll frees the objects itself
};
