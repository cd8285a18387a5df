// The MD2 loader on arbitrary bytes: a malformed file must end in
// EMd2Format, never in a read outside the buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module/graphics/md2_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly size bytes, so that the sanitizer sees any overread.
  const std::vector<uint8_t> bytes(data, data + size);
  try {
    const TMd2Contents model = ParseMd2(bytes.data(), bytes.size());
    for (const TGlCommand& command : model.commands) {
      for (const TGLVertex& vertex : command.vertices) {
        for (const auto& frame : model.frames) {
          if (vertex.vertex_index >= frame.size()) __builtin_trap();
        }
      }
    }
  } catch (const EMd2Format&) {
  }
  return 0;
}
