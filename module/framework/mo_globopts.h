// TGlobalOptions: the module's settings for what goes into saved sessions
// and how textures are compressed. They always come from the host's
// configuration: every field is skipped in baskets and read again after a
// load, so a reloaded module sees the configuration of now.
#pragma once

#include <cstdint>

#include "module/persistence/truly_persistent.h"

class TGlobalOptions : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TGlobalOptions, TTrulyPersistent)
 public:
  TGlobalOptions();
  void RegisterFields() override;
  void AfterLoading() override { ReadOptions(); }

  void ReadOptions();
  // The container kind byte of session files: '0' or 's'.
  int32_t SessionFormatKind() const;

  // Each setter stores the value and writes it to the configuration at
  // once; a value outside the range read above is refused and changes
  // neither.
  void SetStoreLoResTexturesInSaves(bool value);
  void SetStoreImpostorsInSaves(bool value);
  void SetLoResTexturesMipOffset(int32_t value);
  void SetTexturesCompressionPolicy(int32_t value);
  void SetMinSizeToEmployTextureCompression(int32_t value);
  void SetSessionAutosaveFormatIndex(int32_t value);

  // The video mode the configuration holds now: read on every call, since
  // the host rewrites it when the mode changes.
  int32_t VideoWidth() const;
  int32_t VideoHeight() const;
  bool Video16Bit() const;
  bool VideoFullscreen() const;

  int32_t f_StoreLoResTexturesInSaves;  // 32-bit booleans
  int32_t f_StoreImpostorsInSaves;
  int32_t f_LoResTexturesMipOffset;
  int32_t f_TexturesCompressionPolicy;
  int32_t f_MinSizeToEmployTextureCompression;
  int32_t f_SessionAutosaveFormatIndex;
};
