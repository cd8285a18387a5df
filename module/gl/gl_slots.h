// The module's OpenGL entry points as (name, variable) pairs, so binding
// code can fill them by name.
#pragma once

#include <span>
#include <string_view>

namespace gl {

struct TGLSlot {
  std::string_view name;  // "glBegin"
  void** variable;
};

// The OpenGL 1.1 set, in binding order.
std::span<const TGLSlot> CoreSlots();
// Every extension entry point, sorted by name.
std::span<const TGLSlot> ExtensionSlots();
// The variable of the extension entry point of that name, or null.
void** ExtensionSlot(std::string_view name);

}  // namespace gl
