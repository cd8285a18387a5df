#include "module/gl/gl_slots.h"

#include <algorithm>

#include "module/gl/gl_functions.h"

namespace gl {

namespace {

#define ZOK_GL_SLOT(name, result, params) {"gl" #name, reinterpret_cast<void**>(&name)},
#define ZOK_GL_NAME(name, result, params) std::string_view("gl" #name),

const TGLSlot kCoreSlots[] = {ZOK_GL_CORE_FUNCTIONS(ZOK_GL_SLOT)};
const TGLSlot kExtensionSlots[] = {ZOK_GL_EXTENSION_FUNCTIONS(ZOK_GL_SLOT)};

// ExtensionSlot searches by halves.
constexpr std::string_view kExtensionNames[] = {ZOK_GL_EXTENSION_FUNCTIONS(ZOK_GL_NAME)};
static_assert(std::ranges::is_sorted(kExtensionNames));

#undef ZOK_GL_NAME
#undef ZOK_GL_SLOT

}  // namespace

std::span<const TGLSlot> CoreSlots() {
  return kCoreSlots;
}

std::span<const TGLSlot> ExtensionSlots() {
  return kExtensionSlots;
}

void** ExtensionSlot(std::string_view name) {
  const auto found = std::ranges::lower_bound(kExtensionNames, name);
  if (found == std::end(kExtensionNames) || *found != name) return nullptr;
  return kExtensionSlots[found - std::begin(kExtensionNames)].variable;
}

}  // namespace gl
