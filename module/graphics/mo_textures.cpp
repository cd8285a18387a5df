#include "module/graphics/mo_textures.h"

#include <utility>

#include "module/persistence/type_registry.h"

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
      f_boundthisframe(0) {}

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
