// libpng, loaded at run time by name so that the library file and its
// version can change without rebuilding the host. png.h supplies the types
// only; every call goes through the entry points resolved here.
#pragma once

#include <png.h>

#include <string>

#include "host/core/engine_object.h"

namespace libpng {

// The entry points the codec calls. All of them must resolve.
struct TEntryPoints {
  decltype(&png_create_read_struct) create_read_struct;
  decltype(&png_create_write_struct) create_write_struct;
  decltype(&png_create_info_struct) create_info_struct;
  decltype(&png_destroy_read_struct) destroy_read_struct;
  decltype(&png_destroy_write_struct) destroy_write_struct;
  decltype(&png_set_longjmp_fn) set_longjmp_fn;
  decltype(&png_longjmp) longjmp;
  decltype(&png_error) error;
  decltype(&png_get_error_ptr) get_error_ptr;
  decltype(&png_get_libpng_ver) get_libpng_ver;
  decltype(&png_set_read_fn) set_read_fn;
  decltype(&png_set_write_fn) set_write_fn;
  decltype(&png_get_io_ptr) get_io_ptr;
  decltype(&png_read_info) read_info;
  decltype(&png_get_image_width) get_image_width;
  decltype(&png_get_image_height) get_image_height;
  decltype(&png_get_bit_depth) get_bit_depth;
  decltype(&png_get_color_type) get_color_type;
  decltype(&png_get_valid) get_valid;
  decltype(&png_set_palette_to_rgb) set_palette_to_rgb;
  decltype(&png_set_expand_gray_1_2_4_to_8) set_expand_gray_1_2_4_to_8;
  decltype(&png_set_gray_to_rgb) set_gray_to_rgb;
  decltype(&png_set_strip_16) set_strip_16;
  decltype(&png_set_interlace_handling) set_interlace_handling;
  decltype(&png_read_update_info) read_update_info;
  decltype(&png_get_rowbytes) get_rowbytes;
  decltype(&png_read_image) read_image;
  decltype(&png_set_compression_level) set_compression_level;
  decltype(&png_set_IHDR) set_IHDR;
  decltype(&png_write_info) write_info;
  decltype(&png_write_image) write_image;
  decltype(&png_write_end) write_end;
};

// Loads the library (a bare name goes to the system loader unchanged) and
// resolves its entry points, then asks it whether it accepts
// version_string. Any failure is fatal and leaves nothing loaded.
void Load(const std::string& file_name, const std::string& version_string);
void Unload();
bool IsLoaded();

// Valid while the library is loaded.
const TEntryPoints& Api();
const std::string& VersionString();
const std::string& FileName();
// Any other entry point of the library, null when it lacks it.
void* Resolve(const char* name);

}  // namespace libpng

// Loads libpng at start-up as the configuration names it; the engine object
// stack owns it and its end unloads the library.
class TLibPngLoader : public TEngineObject {
 public:
  static constexpr const char* kDefaultLibrary = "libpng16.so.16";

  TLibPngLoader();
  ~TLibPngLoader() override;
  TLibPngLoader(const TLibPngLoader&) = delete;
  TLibPngLoader& operator=(const TLibPngLoader&) = delete;
  const char* ClassName() const override { return "TLibPngLoader"; }
  void Destroy() override;
};
