#include "host/core/engine_stack.h"

#include "host/messages/log.h"

TEngineStack::~TEngineStack() {
  DestroyAll();
}

void TEngineStack::DestroyAll() {
  while (objects_.Length > 0) {
    const int32_t n = Length();
    std::string name = "<Unknown>";
    auto* object = static_cast<TEngineObject*>(objects_.Last());
    try {
      name = object->ClassName();
      AddLog(MI_LOG_DESTROYING_ENGINE_OBJECT, {n, name});
      object->Destroy();
    } catch (...) {
      RecordFailure([&] { FatalError(MI_ERROR_ENGINE_OBJECT_CRASHED_AT_DESTROYING, {name}); });
    }
    delete object;
    objects_.Decrement();
  }
}
