// Decodes arbitrary bytes as a PNG picture held in a container, through the
// host functions a module calls. Every input must end in pixels or in a
// fatal error, never in a crash, a leak or a read outside the data.
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "host/core/exceptions.h"
#include "host/images/cl_libpng.h"
#include "host/images/cl_piccodec.h"
#include "host/images/picture_io.h"
#include "host/messages/log.h"
#include "host/modules/cl_container.h"
#include "host/modules/container_functions.h"
#include "host/modules/container_registry.h"

namespace {

// Pictures larger than this are reported but not filled: the fuzzer's
// memory limit, not the decoder, would stop them.
constexpr int64_t kMaxFilledBytes = 64 << 20;

bool LoadLibrary() {
  try {
    libpng::Load("libpng16.so.16", PNG_LIBPNG_VER_STRING);
  } catch (...) {
    std::abort();
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool loaded = LoadLibrary();
  (void)loaded;
  if (size > static_cast<size_t>(INT32_MAX)) return 0;

  auto container = std::make_unique<TContainer>(0);
  container->AppendCopy(data, static_cast<int32_t>(size));
  container->SetFileName("fuzz.png");
  RegisterContainer("fuzz", std::move(container));
  try {
    int32_t width = 0;
    int32_t height = 0;
    int32_t mode = 0;
    HostStartDecodingPicture("fuzz", &width, &height, &mode);
    const int64_t bytes = PictureBytes(width, height, mode);
    if (bytes <= kMaxFilledBytes) {
      std::vector<uint8_t> pixels(static_cast<size_t>(bytes));
      HostFinishDecodingPicture(pixels.data());
    }
  } catch (const EDying&) {
  }
  HostDeleteContainer("fuzz");
  ResetLogStateForTests();
  return 0;
}
