#include "module/graphics/mo_textures.h"

#include <utility>

#include "module/framework/mo_globopts.h"
#include "module/framework/mo_indexer.h"
#include "module/gl/gl_functions.h"
#include "module/graphics/mo_pictures.h"
#include "module/persistence/type_registry.h"
#include "module/runtime/host_functions.h"
#include "module/runtime/mo_module.h"

namespace {

uint32_t StampLow(int64_t stamp) {
  return static_cast<uint32_t>(static_cast<uint64_t>(stamp));
}
uint32_t StampHigh(int64_t stamp) {
  return static_cast<uint32_t>(static_cast<uint64_t>(stamp) >> 32);
}

TIndexer* TextureIndexOfModule() {
  return ModuleObject() != nullptr ? ModuleObject()->TextureIndex : nullptr;
}

bool ThumbnailsGoIntoSaves() {
  const TModule* module = ModuleObject();
  return module != nullptr && module->Options != nullptr &&
         module->Options->f_StoreLoResTexturesInSaves != 0;
}

}  // namespace

const TTypeDescription& AlphaKindType() {
  static const TTypeDescription type =
      EnumDescription("TAlphaKind", {"No_Alpha", "Threshold_Alpha", "Gradient_Alpha"});
  return type;
}

TMotherTexture::TMotherTexture(std::string source_name, TAlphaKind alpha_kind, bool has_mips)
    : f_unclaimed(0),
      f_sourcename(std::move(source_name)),
      f_index(-1),
      f_Token(0),
      f_thumbToken(0),
      f_name(0),
      f_thumbname(0),
      f_thumbformat(0),
      f_target(kTextureTarget2d),
      f_priority(0.0f),
      f_ReloadUrgency(0.0f),
      f_HasMips(has_mips ? 1 : 0),
      f_AlphaKind(alpha_kind),
      f_boundthisframe(0) {
  if (TIndexer* index = TextureIndexOfModule()) f_index = index->AddObject(this);
  AllocateNames();
}

TMotherTexture::~TMotherTexture() {
  if (f_unclaimed == 0 && host::DeleteTexture != nullptr) {
    host::DeleteTexture(f_name, StampLow(f_Token), StampHigh(f_Token));
    host::DeleteTexture(f_thumbname, StampLow(f_thumbToken), StampHigh(f_thumbToken));
  }
  TIndexer* index = TextureIndexOfModule();
  if (index != nullptr && f_index >= 0 && f_index < index->Length() &&
      index->GetObject(f_index) == this) {
    index->ReleaseIndex(f_index);
  }
}

void TMotherTexture::AllocateNames() {
  f_Token = static_cast<int64_t>(host::NewTexture(&f_name));
  f_thumbToken = static_cast<int64_t>(host::NewTexture(&f_thumbname));
}

void TMotherTexture::Save() {
  const bool has_thumbnail = !f_thumb.empty() || f_thumbname > 0;
  if (!has_thumbnail || ThumbnailsGoIntoSaves()) {
    TTrulyPersistent::Save();
    return;
  }
  // Set aside for the save and put back even when the save fails.
  struct TPutBack {
    std::vector<std::vector<uint32_t>>& field;
    std::vector<std::vector<uint32_t>> kept;
    ~TPutBack() { field = std::move(kept); }
  } put_back{f_thumb, std::move(f_thumb)};
  f_thumb.clear();
  TTrulyPersistent::Save();
}

void TMotherTexture::BeforeSaving() {
  host::MarkTexture(f_name, StampLow(f_Token), StampHigh(f_Token));
  host::MarkTexture(f_thumbname, StampLow(f_thumbToken), StampHigh(f_thumbToken));
}

void TMotherTexture::AfterLoading() {
  if (host::ClaimTexture(f_name, StampLow(f_Token), StampHigh(f_Token)) != 0) return;
  // The name was deleted or reissued: it is not ours to delete any more.
  AllocateNames();
  Reload();
}

void TMotherTexture::UploadBrightnessAsAlpha(bool nearest_filter) {
  TImage picture(f_sourcename);
  picture.ConvertToGray();
  gl::BindTexture(GL_TEXTURE_2D, f_name);
  if (nearest_filter) {
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  }
  // Grey rows are packed: the default 4-byte row alignment would read past them.
  gl::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl::TexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, picture.width, picture.height, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, picture.pixels.data());
}

TBasicTexture2d::TBasicTexture2d(std::string source_name, TAlphaKind alpha_kind, bool has_mips)
    : TMotherTexture(std::move(source_name), alpha_kind, has_mips) {
  Reload();
}

void TBasicTexture2d::Reload() {
  UploadBrightnessAsAlpha(false);
}

TAlphaTexture::TAlphaTexture(std::string source_name)
    : TMotherTexture(std::move(source_name), No_Alpha, false) {
  Reload();
}

void TAlphaTexture::Reload() {
  UploadBrightnessAsAlpha(true);
}

void TMotherTexture::RegisterFields() {
  RegType(AlphaKindType());
  TTrulyPersistent::RegisterFields();
  RegSkip("f_unclaimed", f_unclaimed, zt::LongBool);
  RegField("f_sourcename", f_sourcename, zt::AnsiString);
  RegField("f_thumb", f_thumb, zt::T2dArrayofDword);
  RegField("f_index", f_index, zt::LongInt);
  RegField("f_Token", f_Token, zt::Int64);
  RegField("f_thumbToken", f_thumbToken, zt::Int64);
  RegField("f_name", f_name, zt::LongWord);
  RegField("f_thumbname", f_thumbname, zt::LongWord);
  RegField("f_thumbformat", f_thumbformat, zt::LongInt);
  RegField("f_target", f_target, zt::LongWord);
  RegField("f_priority", f_priority, zt::Single);
  RegField("f_ReloadUrgency", f_ReloadUrgency, zt::Single);
  RegField("f_HasMips", f_HasMips, zt::LongBool);
  RegField("f_AlphaKind", f_AlphaKind, AlphaKindType());
  RegField("f_boundthisframe", f_boundthisframe, zt::LongBool);
}
