// The boundary between zokhost and a game module: event codes, picture
// layouts, key codes, versions and the signatures of the module's exports.
// Both deliverables compile this unit, so its values must never drift apart.
#pragma once

#include <cstdint>
#include <string>

// Events the host delivers through sendmsg, each with three integer arguments.
enum TCbMessage : int32_t {
  Re_OnGetFocus = 0,
  Re_OnLoseFocus = 1,
  Re_OnMouseMove = 2,
  Re_OnResize = 3,
  Re_OnPress = 4,
  Re_OnRelease = 5,
  Re_OnType = 6,
  Re_OnCreate = 7,
  Re_OnDestroy = 8,
  Re_OnCycle = 9,
  Re_OnUnload = 10,
  Re_OnLoad = 11,
  Re_TexturesDeleted = 12,
  Re_Stub = 13,
};
constexpr int32_t kCbMessageHighest = Re_Stub;

// The enumerator's own name, "?" for a value outside the type.
const char* CbMessageName(int32_t code);

// Pixel layout of picture buffers: rows packed without gaps, top row first.
enum TImageMode : int32_t {
  Im_RGB = 0,
  Im_RGBA = 1,
  Im_Gray = 2,
};
int32_t BytesPerPixel(TImageMode mode);

// Key codes: 0..255 are PC set-1 scan codes (extended keys without the E0
// prefix); negative codes are mouse buttons and wheel notches.
namespace keys {
constexpr int32_t kEscape = 1;
constexpr int32_t k1 = 2;  // digits 1..9 are 2..10, 0 is 11
constexpr int32_t k0 = 11;
constexpr int32_t kMinus = 12;
constexpr int32_t kEquals = 13;
constexpr int32_t kBackspace = 14;
constexpr int32_t kTab = 15;
constexpr int32_t kEnter = 28;
constexpr int32_t kLeftCtrl = 29;
constexpr int32_t kTilde = 41;
constexpr int32_t kLeftShift = 42;
constexpr int32_t kRightShift = 54;
constexpr int32_t kLeftAlt = 56;
constexpr int32_t kSpace = 57;
constexpr int32_t kF1 = 59;  // F1..F10 are 59..68
constexpr int32_t kF10 = 68;
constexpr int32_t kF11 = 87;
constexpr int32_t kF12 = 88;
constexpr int32_t kHome = 71;
constexpr int32_t kUp = 72;
constexpr int32_t kPageUp = 73;
constexpr int32_t kLeft = 75;
constexpr int32_t kRight = 77;
constexpr int32_t kEnd = 79;
constexpr int32_t kDown = 80;
constexpr int32_t kPageDown = 81;
constexpr int32_t kInsert = 82;
constexpr int32_t kDelete = 83;

constexpr int32_t kMouseLeft = -1;
constexpr int32_t kMouseRight = -2;
constexpr int32_t kMouseMiddle = -3;
constexpr int32_t kWheelForward = -4;
constexpr int32_t kWheelBackward = -5;

constexpr int32_t kLowest = -5;
constexpr int32_t kHighest = 255;
}  // namespace keys

// Version of this host; a module states the host version it was built for.
struct TVersion {
  int32_t major;
  int32_t minor;
  int32_t build;
};
constexpr TVersion kHostVersion{0, 13, 71};
constexpr TVersion kSampleModuleVersion{0, 1, 362};

// "true" for any non-zero value.
const char* BoolText(int32_t value);

// offset + size raised to the next multiple of the granule (the alignment
// when it is above 4, else 4), in unsigned 32-bit arithmetic.
uint32_t AlignFieldEnd(uint32_t offset, uint32_t size, uint32_t alignment);

// The module's exports and the host's lookup function. Integers and
// booleans are 32-bit, pointers native, UTF-16 text is char16_t.
extern "C" {
typedef int32_t (*THostLookup)(int32_t index, void** slot);
typedef void (*TZokModuleInit)(const char* module_path, const char* session_path,
                               const char* save_path);
typedef int32_t (*TSendMsg)(int32_t code, int32_t a, int32_t b, int32_t c);
typedef void (*TSetCallback)(THostLookup lookup);
}

constexpr const char* kExportModuleInit = "zokmoduleinit";
constexpr const char* kExportSendMsg = "sendmsg";
constexpr const char* kExportSetCallback = "setcallback";
