#include "module/framework/mo_globopts.h"

#include <string>

#include "module/runtime/host_functions.h"
#include "module/runtime/module_report.h"

namespace {

constexpr int32_t kSessionFormatKinds[] = {'0', 's'};
constexpr int32_t kSessionFormatKindCount = 2;

// One configuration key and the values the module accepts in it.
struct TOptionKey {
  const char* section;
  const char* key;
  int32_t lowest;
  int32_t highest;
};

constexpr TOptionKey kStoreLoResTextures{"general", "store_texture_tumbnails_in_saves", 0, 1};
constexpr TOptionKey kStoreImpostors{"general", "store_impostors_in_saves", 0, 1};
constexpr TOptionKey kLoResMipOffset{"general", "tumbnail_is_powers_of_2_smaller", 1, 3};
constexpr TOptionKey kCompressionPolicy{"video", "texture_compression_policy", 0, 2};
constexpr TOptionKey kMinSizeToCompress{"video", "min_texture_size_to_compress", 0, 2048};
constexpr TOptionKey kSessionFormatIndex{"persistency", "session_save_format_index", 0, 1};

int32_t ReadOption(const TOptionKey& option) {
  return host::ConfigReadIntegerInRange(option.section, option.key, option.lowest, option.highest);
}

// A value ReadOptions would refuse is refused here too: written to the
// configuration it would stop every later start of the module.
void WriteOption(const TOptionKey& option, int32_t value, int32_t& field) {
  if (value < option.lowest || value > option.highest) {
    ModuleFatalError(
        MI_ERROR_PROGRAMMER_NO_BAKA,
        {WideText("TGlobalOptions: [" + std::string(option.section) + "] " + option.key + "=" +
                  std::to_string(value) + " is outside " + std::to_string(option.lowest) + " to " +
                  std::to_string(option.highest) + ".")});
  }
  field = value;
  host::ConfigWriteInteger(option.section, option.key, value);
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
  f_StoreLoResTexturesInSaves = ReadOption(kStoreLoResTextures) == 1 ? 1 : 0;
  f_StoreImpostorsInSaves = ReadOption(kStoreImpostors) == 1 ? 1 : 0;
  f_LoResTexturesMipOffset = ReadOption(kLoResMipOffset);
  f_TexturesCompressionPolicy = ReadOption(kCompressionPolicy);
  f_MinSizeToEmployTextureCompression = ReadOption(kMinSizeToCompress);
  f_SessionAutosaveFormatIndex = ReadOption(kSessionFormatIndex);
}

int32_t TGlobalOptions::SessionFormatKind() const {
  // The index comes range-checked from the configuration; a zeroed object
  // still names a valid kind.
  const int32_t index = f_SessionAutosaveFormatIndex;
  return index >= 0 && index < kSessionFormatKindCount ? kSessionFormatKinds[index]
                                                       : kSessionFormatKinds[0];
}

void TGlobalOptions::SetStoreLoResTexturesInSaves(bool value) {
  WriteOption(kStoreLoResTextures, value ? 1 : 0, f_StoreLoResTexturesInSaves);
}

void TGlobalOptions::SetStoreImpostorsInSaves(bool value) {
  WriteOption(kStoreImpostors, value ? 1 : 0, f_StoreImpostorsInSaves);
}

void TGlobalOptions::SetLoResTexturesMipOffset(int32_t value) {
  WriteOption(kLoResMipOffset, value, f_LoResTexturesMipOffset);
}

void TGlobalOptions::SetTexturesCompressionPolicy(int32_t value) {
  WriteOption(kCompressionPolicy, value, f_TexturesCompressionPolicy);
}

void TGlobalOptions::SetMinSizeToEmployTextureCompression(int32_t value) {
  WriteOption(kMinSizeToCompress, value, f_MinSizeToEmployTextureCompression);
}

void TGlobalOptions::SetSessionAutosaveFormatIndex(int32_t value) {
  WriteOption(kSessionFormatIndex, value, f_SessionAutosaveFormatIndex);
}

int32_t TGlobalOptions::VideoWidth() const {
  return host::ConfigReadInteger("video", "width");
}

int32_t TGlobalOptions::VideoHeight() const {
  return host::ConfigReadInteger("video", "height");
}

bool TGlobalOptions::Video16Bit() const {
  return host::ConfigReadInteger("video", "16_bit") != 0;
}

bool TGlobalOptions::VideoFullscreen() const {
  return host::ConfigReadInteger("video", "fullscreen") != 0;
}
