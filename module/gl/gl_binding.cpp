#include "module/gl/gl_binding.h"

#include "module/gl/gl_slots.h"
#include "module/runtime/host_functions.h"

namespace gl {

namespace {
void ClearSlots(std::span<const TGLSlot> slots) {
  for (const TGLSlot& slot : slots) *slot.variable = nullptr;
}
}  // namespace

void ClearGL() {
  ClearSlots(CoreSlots());
  ClearSlots(ExtensionSlots());
}

void BindGL() {
  for (const TGLSlot& slot : CoreSlots()) {
    // The names are literals, so their views end in a terminator.
    *slot.variable =
        host::GetGLProcAddress != nullptr ? host::GetGLProcAddress(slot.name.data()) : nullptr;
  }
}

}  // namespace gl
