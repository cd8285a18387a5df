// Objects owned by the engine object stack: the PNG loader, the window and
// the module manager. Their teardown may fail; it runs in Destroy so that a
// failure can be reported and the objects below still get destroyed.
#pragma once

#include "shared/zok_object.h"

class TEngineObject : public TObject {
 public:
  // Releases what the object holds; may throw.
  virtual void Destroy() {}
};
