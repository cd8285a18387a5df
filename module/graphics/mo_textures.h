// Module textures: what a texture keeps in a session. Uploading, thumbnails
// and claiming the host's texture names after a reload come with the
// picture loading.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "module/persistence/truly_persistent.h"
#include "module/persistence/type_description.h"

enum TAlphaKind : int32_t { No_Alpha, Threshold_Alpha, Gradient_Alpha };
const TTypeDescription& AlphaKindType();

constexpr uint32_t kTextureTarget2d = 3553;  // GL_TEXTURE_2D

class TMotherTexture : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TMotherTexture, TTrulyPersistent)
 public:
  TMotherTexture(std::string source_name, TAlphaKind alpha_kind, bool has_mips);
  void RegisterFields() override;

  // Uploads the picture again; the kinds of texture differ in how.
  virtual void Reload() {}

  int32_t f_unclaimed;  // not saved: destruction leaves the OpenGL names alone
  std::string f_sourcename;
  std::vector<std::vector<uint32_t>> f_thumb;
  int32_t f_index;  // in the module's texture index
  int64_t f_Token;
  int64_t f_thumbToken;
  uint32_t f_name;
  uint32_t f_thumbname;
  int32_t f_thumbformat;
  uint32_t f_target;
  float f_priority;
  float f_ReloadUrgency;
  int32_t f_HasMips;
  TAlphaKind f_AlphaKind;
  int32_t f_boundthisframe;
};

class TBasicTexture2d : public TMotherTexture {
  ZOK_PERSISTENT_CLASS(TBasicTexture2d, TMotherTexture)
 public:
  TBasicTexture2d(std::string source_name, TAlphaKind alpha_kind, bool has_mips)
      : TMotherTexture(std::move(source_name), alpha_kind, has_mips) {}
};
