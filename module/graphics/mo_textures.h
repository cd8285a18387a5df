// Module textures: persistent objects that own an OpenGL texture name
// issued by the host with a stamp. After a hot reload a texture claims its
// name back while the stamp still matches, and is made again from its
// picture file when it does not.
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
  // Joins the module's texture index and takes two names from the host.
  TMotherTexture(std::string source_name, TAlphaKind alpha_kind, bool has_mips);
  // Deletes both names unless f_unclaimed; the host ignores stale stamps.
  ~TMotherTexture() override;
  void RegisterFields() override;
  // Leaves the thumbnail out unless the options keep it in saves.
  void Save() override;
  // Marks both names as still wanted by the saved state.
  void BeforeSaving() override;
  // Claims the name back, or makes the texture again when it was lost.
  void AfterLoading() override;

  // Takes two new names and their stamps from the host.
  void AllocateNames();
  // Uploads the picture again; the kinds of texture differ in how. Empty
  // here: the persistence system makes blank objects of every class.
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

 protected:
  // Binds f_name and uploads the picture's brightness as alpha.
  void UploadBrightnessAsAlpha(bool nearest_filter);
};

class TBasicTexture2d : public TMotherTexture {
  ZOK_PERSISTENT_CLASS(TBasicTexture2d, TMotherTexture)
 public:
  TBasicTexture2d(std::string source_name, TAlphaKind alpha_kind, bool has_mips);
  void RegisterFields() override { TMotherTexture::RegisterFields(); }
  void Reload() override;
};

// Sampled without filtering: for masks whose edges must stay hard.
class TAlphaTexture : public TMotherTexture {
  ZOK_PERSISTENT_CLASS(TAlphaTexture, TMotherTexture)
 public:
  explicit TAlphaTexture(std::string source_name);
  void RegisterFields() override { TMotherTexture::RegisterFields(); }
  void Reload() override;
};
