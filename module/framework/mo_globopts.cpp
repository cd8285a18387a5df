#include "module/framework/mo_globopts.h"

#include "module/runtime/host_functions.h"

namespace {

constexpr int32_t kSessionFormatKinds[] = {'0', 's'};
constexpr int32_t kSessionFormatKindCount = 2;

int32_t ReadInRange(const char* section, const char* key, int32_t lowest, int32_t highest) {
  return host::ConfigReadIntegerInRange(section, key, lowest, highest);
}

}  // namespace

TGlobalOptions::TGlobalOptions() {
  ReadOptions();
}

void TGlobalOptions::RegisterFields() {
  TTrulyPersistent::RegisterFields();
  RegSkip("f_StoreLoResTexturesInSaves", f_StoreLoResTexturesInSaves, zt::LongBool);
  RegSkip("f_StoreImpostorsInSaves", f_StoreImpostorsInSaves, zt::LongBool);
  RegSkip("f_LoResTexturesMipOffset", f_LoResTexturesMipOffset, zt::LongInt);
  RegSkip("f_TexturesCompressionPolicy", f_TexturesCompressionPolicy, zt::LongInt);
  RegSkip("f_MinSizeToEmployTextureCompression", f_MinSizeToEmployTextureCompression, zt::LongInt);
  RegSkip("f_SessionAutosaveFormatIndex", f_SessionAutosaveFormatIndex, zt::LongInt);
}

void TGlobalOptions::ReadOptions() {
  f_StoreLoResTexturesInSaves =
      ReadInRange("general", "store_texture_tumbnails_in_saves", 0, 1) == 1 ? 1 : 0;
  f_StoreImpostorsInSaves = ReadInRange("general", "store_impostors_in_saves", 0, 1) == 1 ? 1 : 0;
  f_LoResTexturesMipOffset = ReadInRange("general", "tumbnail_is_powers_of_2_smaller", 1, 3);
  f_TexturesCompressionPolicy = ReadInRange("video", "texture_compression_policy", 0, 2);
  f_MinSizeToEmployTextureCompression =
      ReadInRange("video", "min_texture_size_to_compress", 0, 2048);
  f_SessionAutosaveFormatIndex = ReadInRange("persistency", "session_save_format_index", 0, 1);
}

int32_t TGlobalOptions::SessionFormatKind() const {
  // The index comes range-checked from the configuration; a zeroed object
  // still names a valid kind.
  const int32_t index = f_SessionAutosaveFormatIndex;
  return index >= 0 && index < kSessionFormatKindCount ? kSessionFormatKinds[index]
                                                       : kSessionFormatKinds[0];
}
