#include "shared/zok_protocol.h"

namespace {
constexpr const char* kCbMessageNames[] = {
    "Re_OnGetFocus", "Re_OnLoseFocus", "Re_OnMouseMove",     "Re_OnResize",  "Re_OnPress",
    "Re_OnRelease",  "Re_OnType",      "Re_OnCreate",        "Re_OnDestroy", "Re_OnCycle",
    "Re_OnUnload",   "Re_OnLoad",      "Re_TexturesDeleted", "Re_Stub",
};
static_assert(sizeof(kCbMessageNames) / sizeof(kCbMessageNames[0]) == kCbMessageHighest + 1);
}  // namespace

const char* CbMessageName(int32_t code) {
  if (code < 0 || code > kCbMessageHighest) return "?";
  return kCbMessageNames[code];
}

int32_t BytesPerPixel(TImageMode mode) {
  switch (mode) {
    case Im_RGB:
      return 3;
    case Im_RGBA:
      return 4;
    case Im_Gray:
      return 1;
  }
  return 0;
}

const char* BoolText(int32_t value) {
  return value != 0 ? "true" : "false";
}

uint32_t AlignFieldEnd(uint32_t offset, uint32_t size, uint32_t alignment) {
  // 4 for anything aligned to 4 or less; wider types use their own
  // alignment (8, and 16 for long double on x86-64).
  const uint32_t granule = alignment > 4u ? alignment : 4u;
  return ((offset + size - 1u) / granule + 1u) * granule;
}
