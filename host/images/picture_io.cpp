#include "host/images/picture_io.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "host/core/paths.h"
#include "host/core/text_utils.h"
#include "host/images/cl_piccodec.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/container_functions.h"
#include "host/modules/container_registry.h"
#include "host/platform/atomic_file.h"
#include "shared/format.h"
#include "shared/text_codes.h"
#include "shared/zok_protocol.h"

namespace {

struct TDecodingState {
  std::unique_ptr<TImageCodec> codec;
  TContainer* container = nullptr;
  std::string file_name;
  std::string container_name;
};

TDecodingState& Decoding() {
  static TDecodingState state;
  return state;
}

void ForgetDecode() {
  TDecodingState& state = Decoding();
  state.codec.reset();
  state.container = nullptr;
  state.file_name.clear();
  state.container_name.clear();
}

[[noreturn]] void UnsupportedDecoding(const std::string& extension) {
  FatalErrorText(WideToCp1251(GetMessageText(MI_ZOK_TITLE)) + " v" +
                 std::to_string(kHostVersion.major) + "." + std::to_string(kHostVersion.minor) +
                 ChooseLiteral(WideToCp1251(u" не поддерживает графический формат "),
                               " doesn't support image file format ") +
                 "\"" + extension + "\"!");
}

[[noreturn]] void UnsupportedEncoding(const std::string& extension) {
  FatalErrorText(
      ChooseLiteral(WideToCp1251(u"Сохранение картинок в формате "), "Writing images in the ") +
      "\"" + extension + "\"" +
      ChooseLiteral(WideToCp1251(u" не поддерживается!"), " format isn't supported!"));
}

}  // namespace

void HostStartDecodingPicture(const char* container_name, int32_t* width, int32_t* height,
                              int32_t* mode) {
  ForgetDecode();
  TDecodingState& state = Decoding();
  const std::string name = TextFromCString(container_name);
  std::string codec_class = "TImageCodec";
  try {
    TContainer* container = FindUnpinnedContainer(name);
    if (container == nullptr) FatalError(MI_CONTAINER_DOESNT_EXIST, {name});
    const std::string extension = UpperExtension(container->FileName());
    std::unique_ptr<TImageCodec> codec = CodecForExtension(extension);
    if (!codec) UnsupportedDecoding(extension);
    codec_class = codec->ClassName();
    state.codec = std::move(codec);
    state.container = container;
    state.file_name = container->FileName();
    state.container_name = name;
    int32_t picture_width = 0;
    int32_t picture_height = 0;
    TImageMode picture_mode = Im_RGB;
    state.codec->PrepareToDecode(*container, picture_width, picture_height, picture_mode);
    if (width) *width = picture_width;
    if (height) *height = picture_height;
    if (mode) *mode = picture_mode;
  } catch (...) {
    ForgetDecode();
    // Freed and unregistered together: the registry must not keep a
    // pointer to a freed container.
    DeleteRegisteredContainer(name);
    FatalError(MI_CRASHED_DECODING_PIC, {name, codec_class});
  }
}

void HostFinishDecodingPicture(void* buffer) {
  TDecodingState& state = Decoding();
  const std::string file_name = state.file_name;
  const std::string codec_class = state.codec ? state.codec->ClassName() : "TImageCodec";
  try {
    if (!state.codec) throw std::logic_error("FinishDecodingPicture without StartDecodingPicture");
    state.codec->Decode(buffer);
  } catch (...) {
    ForgetDecode();
    FatalError(MI_CRASHED_DECODING_PIC, {file_name, codec_class});
  }
  ForgetDecode();
}

void HostEncodePicture(const char* file_name, const void* buffer, int32_t width, int32_t height,
                       int32_t mode) {
  std::string file = TextFromCString(file_name);
  std::string codec_class = "TImageCodec";
  try {
    file = NormalizePath(file);
    const std::string extension = UpperExtension(file);
    std::unique_ptr<TImageCodec> codec = CodecForExtension(extension);
    if (!codec) UnsupportedEncoding(extension);
    codec_class = codec->ClassName();
    PictureBytes(width, height, mode);
    TContainer encoded(0);
    codec->Encode(encoded, buffer, width, height, static_cast<TImageMode>(mode));
    codec.reset();
    const std::string_view bytes(static_cast<const char*>(encoded.Data()),
                                 static_cast<size_t>(encoded.Size()));
    std::string error;
    if (!platform::WriteFileAtomically(ContainerFilePath(file), bytes, error)) {
      throw std::runtime_error("Cannot write \"" + file + "\": " + error);
    }
  } catch (...) {
    FatalError(MI_CRASHED_ENCODING_PIC, {file, codec_class});
  }
}

bool PictureDecodePending() {
  return Decoding().codec != nullptr;
}

void AbandonDecodeOf(const TContainer& container) {
  if (Decoding().container == &container) ForgetDecode();
}
