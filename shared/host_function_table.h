// The numbered host functions a module reaches through HostLookup. The
// numbers are the contract between host and module builds and never
// change. Integers and booleans are 32-bit, pointers native, wide texts
// UTF-16; a 64-bit stamp travels as two 32-bit halves, low first, where an
// entry takes one. Wide texts the host returns stay valid until the next
// call of the same entry.
#pragma once

#include <cstdint>

// X(index, name, result, parameters)
#define ZOK_HOST_FUNCTIONS(X)                                                                 \
  X(5, AddLogSuccess, void, (void))                                                           \
  X(7, ReturnOne, int32_t, (void))                                                            \
  X(8, ReturnNull, void*, (void* ignored))                                                    \
  X(10, GetGLProcAddress, void*, (const char* name))                                          \
  X(12, GetGLExtProcAddress, void*, (const char* name))                                       \
  X(13, ValidateTypesets, void, (int32_t highest, int32_t kind))                              \
  X(14, RequestExit, void, (void))                                                            \
  X(16, FinishDecodingPicture, void, (void* pixels))                                          \
  X(17, EncodePicture, void,                                                                  \
    (const char* file_name, const void* pixels, int32_t width, int32_t height, int32_t mode)) \
  X(18, CheckHostVersion, void, (int32_t major, int32_t minor, int32_t build))                \
  X(19, ProgramDirectory, const char16_t*, (void))                                            \
  X(20, CreateContainer, void*, (const char* name, int32_t size))                             \
  X(21, ContainerData, void*, (const char* name))                                             \
  X(22, ContainerSize, int32_t, (const char* name))                                           \
  X(23, DeleteContainer, void, (const char* name))                                            \
  X(24, SaveContainer, void, (const char* name, const char* file_name))                       \
  X(25, LoadContainer, void*, (const char* name, const char* file_name, int32_t* size))       \
  X(26, IsFullscreen, int32_t, (void))                                                        \
  X(27, RestoreDefaultVideoMode, void, (void))                                                \
  X(28, SwitchVideoMode, void, (int32_t width, int32_t height, int32_t refresh_rate))         \
  X(29, ScreenWidth, int32_t, (void))                                                         \
  X(30, ScreenHeight, int32_t, (void))                                                        \
  X(31, SwapTheBuffers, int32_t, (void))                                                      \
  X(35, MillisecondsSinceStart, int64_t, (void))                                              \
  X(36, StartDecodingPicture, void,                                                           \
    (const char* container, int32_t* width, int32_t* height, int32_t* mode))                  \
  X(37, BuildMipmaps, void, (int32_t width, int32_t height, const void* pixels))              \
  X(39, ErrorReported, int32_t, (void))                                                       \
  X(40, TakeErrorText, const char16_t*, (void))                                               \
  X(43, ShowInfoBox, void, (const char* text))                                                \
  X(44, FatalErrorText, void, (const char16_t* text))                                         \
  X(45, AddLog, void, (const char16_t* text))                                                 \
  X(46, GetMessageText, const char16_t*, (int32_t id))                                        \
  X(47, IsDeveloperMode, int32_t, (void))                                                     \
  X(48, IsDebugMode, int32_t, (void))                                                         \
  X(49, ZokFileBeginWrite, void, (const char* file_name, int32_t format))                     \
  X(50, ZokFileBeginRead, void, (const char* file_name, uint8_t* format))                     \
  X(51, ZokFileRead, void*, (int32_t * size))                                                 \
  X(52, ZokFileWrite, void, (int32_t size))                                                   \
  X(53, ZokFileEnd, void, (int32_t flag, const char* file_name))                              \
  X(54, IsRussianLanguage, int32_t, (void))                                                   \
  X(55, ZokFileWriteBuffer, void*, (int32_t * size))                                          \
  X(56, FrameBufferHasAlpha, int32_t, (void))                                                 \
  X(57, RunStamp, uint64_t, (void))                                                           \
  X(58, RenewRunStamp, void, (void))                                                          \
  X(59, ConfigWriteInteger, void, (const char* section, const char* key, int32_t value))      \
  X(60, ConfigReadInteger, int32_t, (const char* section, const char* key))                   \
  X(61, NewTexture, uint64_t, (uint32_t * name))                                              \
  X(62, RestampTexture, uint64_t, (uint32_t name))                                            \
  X(63, MarkTexture, void, (uint32_t name, uint32_t stamp_low, uint32_t stamp_high))          \
  X(64, ClaimTexture, int32_t, (uint32_t name, uint32_t stamp_low, uint32_t stamp_high))      \
  X(65, ClearTextureMarks, void, (void))                                                      \
  X(66, DeleteMarkedTextures, void, (void))                                                   \
  X(67, DeleteTexture, void, (uint32_t name, uint32_t stamp_low, uint32_t stamp_high))        \
  X(68, ConfigReadIntegerInRange, int32_t,                                                    \
    (const char* section, const char* key, int32_t lowest, int32_t highest))                  \
  X(69, ZokFileReadStamp, uint64_t, (void))                                                   \
  X(70, FrameTime, float, (void))                                                             \
  X(71, FileExistsInWorkingDir, int32_t, (const char* name))                                  \
  X(72, ReplaceFileInWorkingDir, void, (const char* old_name, const char* new_name))

// One pointer type per entry: THostFn_AddLogSuccess and so on.
#define ZOK_DECLARE_HOST_FUNCTION_TYPE(index, name, result, params) \
  using THostFn_##name = result(*) params;
ZOK_HOST_FUNCTIONS(ZOK_DECLARE_HOST_FUNCTION_TYPE)
#undef ZOK_DECLARE_HOST_FUNCTION_TYPE

constexpr int32_t kHostFunctionCount = 58;
constexpr int32_t kLowestHostFunction = 5;
constexpr int32_t kHighestHostFunction = 72;

// The order in which a module binds the table when it starts.
constexpr int32_t kHostFunctionBindingOrder[kHostFunctionCount] = {
    5,  7,  8,  10, 12, 13, 14, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,
    29, 30, 31, 35, 36, 37, 39, 40, 43, 44, 45, 46, 47, 48, 49, 50, 51, 55, 52, 53,
    69, 71, 72, 54, 56, 57, 58, 59, 60, 68, 61, 62, 63, 64, 65, 66, 67, 70};
