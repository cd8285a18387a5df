// The members of the dynamic-array family by name. Include this
// header to use them.
#pragma once

#include <cstdint>
#include <string>

#include "shared/dyna/dyna_1d.h"
#include "shared/dyna/dyna_2d.h"

// Both deliverables.
using TAOS = TDynaArray<TStringTraits<std::string>, "TAOS">;
using TAOW = TDynaArray<TStringTraits<std::u16string>, "TAOW">;
using TAOF = TDynaArray<TPlainTraits<float>, "TAOF">;
using TAOC = TDynaArray<TPlainTraits<uint32_t>, "TAOC">;
using TAOI = TDynaArray<TPlainTraits<int32_t>, "TAOI">;
using TIntegerArray = TAOI;

using T2DAOS = TDyna2D<TAOS, "T2DAOS">;
using T2DAOW = TDyna2D<TAOW, "T2DAOW">;
using T2DAOF = TDyna2D<TAOF, "T2DAOF">;
using T2DAOC = TDyna2D<TAOC, "T2DAOC">;
using T2DAOI = TDyna2D<TAOI, "T2DAOI">;

#ifndef ZOK_MODULE_BUILD
// Host only. The configuration code declares its INI-file array itself:
//   using TAoIni = TObjectArray<TIniFile, "TAoIni">;
using TAOP = TDynaArray<TPlainTraits<void*>, "TAOP">;
using TAOB = TDynaArray<TBool32Traits, "TAOB">;  // 32-bit booleans
using TAOI64 = TDynaArray<TPlainTraits<int64_t>, "TAOI64">;
using TAOO = TObjectArray<TObject, "TAOO">;

using T2DAOP = TDyna2D<TAOP, "T2DAOP">;
using T2DAOB = TDyna2D<TAOB, "T2DAOB">;
using T2DAOI64 = TDyna2D<TAOI64, "T2DAOI64">;
using T2DAOO = TDyna2D<TAOO, "T2DAOO">;  // rows start with Owns false
#endif
