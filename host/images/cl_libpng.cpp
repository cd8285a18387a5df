#include "host/images/cl_libpng.h"

#include <memory>
#include <stdexcept>

#include "host/config/config_manager.h"
#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/core/paths.h"
#include "host/messages/log.h"
#include "host/platform/dynamic_library.h"

namespace libpng {

namespace {

struct TLoaded {
  std::unique_ptr<platform::DynamicLibrary> library;
  std::string file_name;
  std::string version_string;
  TEntryPoints api{};
};

TLoaded& State() {
  static TLoaded state;
  return state;
}

// A name without a folder is the system loader's to find; a relative path
// is taken from the working directory.
std::string LibraryPath(const std::string& file_name) {
  if (file_name.find_first_of("/\\") == std::string::npos) return file_name;
  const std::string path = NormalizePath(file_name);
  return IsAbsolutePath(path) ? path : JoinPath(Host().working_directory, path);
}

void* ResolveRequired(const char* name) {
  void* address = Resolve(name);
  if (address == nullptr) FatalError(MI_ERROR_FUNCTION_NOT_FOUND_IN_DLL, {name, State().file_name});
  return address;
}

template <typename F>
void Bind(F& slot, const char* name) {
  slot = reinterpret_cast<F>(ResolveRequired(name));
}

void BindAll(TEntryPoints& api) {
  Bind(api.create_read_struct, "png_create_read_struct");
  Bind(api.create_write_struct, "png_create_write_struct");
  Bind(api.create_info_struct, "png_create_info_struct");
  Bind(api.destroy_read_struct, "png_destroy_read_struct");
  Bind(api.destroy_write_struct, "png_destroy_write_struct");
  Bind(api.set_longjmp_fn, "png_set_longjmp_fn");
  Bind(api.longjmp, "png_longjmp");
  Bind(api.error, "png_error");
  Bind(api.get_error_ptr, "png_get_error_ptr");
  Bind(api.get_libpng_ver, "png_get_libpng_ver");
  Bind(api.set_read_fn, "png_set_read_fn");
  Bind(api.set_write_fn, "png_set_write_fn");
  Bind(api.get_io_ptr, "png_get_io_ptr");
  Bind(api.read_info, "png_read_info");
  Bind(api.get_image_width, "png_get_image_width");
  Bind(api.get_image_height, "png_get_image_height");
  Bind(api.get_bit_depth, "png_get_bit_depth");
  Bind(api.get_color_type, "png_get_color_type");
  Bind(api.get_valid, "png_get_valid");
  Bind(api.set_palette_to_rgb, "png_set_palette_to_rgb");
  // Renamed in libpng 1.4; older libraries know only the old name.
  if (Resolve("png_set_expand_gray_1_2_4_to_8") != nullptr) {
    Bind(api.set_expand_gray_1_2_4_to_8, "png_set_expand_gray_1_2_4_to_8");
  } else {
    Bind(api.set_expand_gray_1_2_4_to_8, "png_set_gray_1_2_4_to_8");
  }
  Bind(api.set_gray_to_rgb, "png_set_gray_to_rgb");
  Bind(api.set_strip_16, "png_set_strip_16");
  Bind(api.set_interlace_handling, "png_set_interlace_handling");
  Bind(api.read_update_info, "png_read_update_info");
  Bind(api.get_rowbytes, "png_get_rowbytes");
  Bind(api.read_image, "png_read_image");
  Bind(api.set_compression_level, "png_set_compression_level");
  Bind(api.set_IHDR, "png_set_IHDR");
  Bind(api.write_info, "png_write_info");
  Bind(api.write_image, "png_write_image");
  Bind(api.write_end, "png_write_end");
}

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng itself decides which version strings it works with: a read
// structure made with the string shows whether it does.
bool AcceptsVersion(const std::string& version_string) {
  const TEntryPoints& api = State().api;
  png_structp probe =
      api.create_read_struct(version_string.c_str(), nullptr, nullptr, &IgnoreWarning);
  if (probe == nullptr) return false;
  api.destroy_read_struct(&probe, nullptr, nullptr);
  return true;
}

[[noreturn]] void BadVersionString(const std::string& version_string) {
  FatalError(MI_ERROR_INVALID_CONFIG_PARAMETER_STR,
             {"main", "LibPng_linux_VersionString", version_string});
}

}  // namespace

void Load(const std::string& file_name, const std::string& version_string) {
  Unload();
  VerboseLog("Loading %0", {file_name});
  TLoaded& state = State();
  state.file_name = file_name;
  try {
    try {
      std::string error;
      state.library = platform::DynamicLibrary::Open(LibraryPath(file_name), error);
      if (!state.library) throw std::runtime_error(error);
    } catch (const EDying&) {
      throw;
    } catch (...) {
      FatalError(MI_ERROR_DLL_NOT_FOUND, {file_name});
    }
    BindAll(state.api);
    if (version_string.empty()) BadVersionString(version_string);
    if (!AcceptsVersion(version_string)) {
      try {
        FatalErrorText("libpng " + std::string(state.api.get_libpng_ver(nullptr)) +
                       " does not accept the version string \"" + version_string + "\"");
      } catch (const EDying&) {
        BadVersionString(version_string);
      }
    }
    state.version_string = version_string;
  } catch (...) {
    Unload();
    throw;
  }
}

void Unload() {
  TLoaded& state = State();
  state.api = TEntryPoints{};
  state.version_string.clear();
  state.library.reset();
}

bool IsLoaded() {
  return State().library != nullptr && State().api.create_read_struct != nullptr;
}

const TEntryPoints& Api() {
  if (!IsLoaded()) throw std::logic_error("libpng is not loaded");
  return State().api;
}

const std::string& VersionString() {
  return State().version_string;
}

const std::string& FileName() {
  return State().file_name;
}

void* Resolve(const char* name) {
  return State().library ? State().library->Resolve(name) : nullptr;
}

}  // namespace libpng

TLibPngLoader::TLibPngLoader() {
  std::string file_name = g_config->ReadString("main", "LibPng_linux");
  if (file_name.empty()) file_name = kDefaultLibrary;
  libpng::Load(file_name, g_config->ReadString("main", "LibPng_linux_VersionString"));
}

TLibPngLoader::~TLibPngLoader() {
  libpng::Unload();
}

void TLibPngLoader::Destroy() {
  libpng::Unload();
}
