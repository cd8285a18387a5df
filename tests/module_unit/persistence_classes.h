// Persistent classes of the basket tests. Object references do not own:
// the tests own every object they make or load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "module/persistence/class_registration.h"
#include "module/persistence/type_registry.h"

namespace persistence_test {

enum TColour : int32_t { cl_Red, cl_Green, cl_Blue };
inline const TTypeDescription& ColourType() {
  static const TTypeDescription type =
      EnumDescription("TColour", {"cl_Red", "cl_Green", "cl_Blue"});
  return type;
}

// A node of a graph: values of most kinds, two references and containers.
class TNode : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TNode, TTrulyPersistent)
 public:
  TNode() = default;
  ~TNode() override {
    delete ints;
    delete grid;
    delete cards;
    delete floats;
    delete names;
    delete wide_rows;
    delete children;
    delete dynas;
  }
  void RegisterFields() override {
    RegType(ColourType());
    TTrulyPersistent::RegisterFields();
    RegField("f_id", id, zt::LongInt);
    RegField("f_colour", colour, ColourType());
    RegField("f_weight", weight, zt::Single);
    RegField("f_precise", precise, zt::Double);
    RegField("f_name", name, zt::AnsiString);
    RegField("f_title", title, zt::WideString);
    RegField("f_next", next);
    RegField("f_other", other);
    RegSkipPtr("f_cache", cache);
    RegField("f_ints", ints, zt::TAOI);
    RegField("f_grid", grid, zt::T2DAOI);
    RegField("f_cards", cards, zt::TAOC);
    RegField("f_floats", floats, zt::TAOF);
    RegField("f_names", names, zt::TAOS);
    RegField("f_wide_rows", wide_rows, zt::T2DAOW);
    RegField("f_children", children, zt::TArrayOfTrulyPersistent);
    RegField("f_dynas", dynas, zt::TArrayOfDyna);
    RegField("f_dwords", dwords, zt::T2dArrayofDword);
    RegField("f_big", big, zt::Int64);
    RegField("f_long", extended, zt::Extended);
    RegSkip("f_after_loading_calls", after_loading_calls, zt::LongInt);
  }
  void AfterLoading() override { after_loading_calls++; }

  int32_t id;
  TColour colour;
  float weight;
  double precise;
  std::string name;
  std::u16string title;
  TNode* next;
  TNode* other;
  void* cache;
  TAOI* ints;
  T2DAOI* grid;
  TAOC* cards;
  TAOF* floats;
  TAOS* names;
  T2DAOW* wide_rows;
  TArrayOfTrulyPersistent* children;
  TArrayOfDyna* dynas;
  std::vector<std::vector<uint32_t>> dwords;
  int64_t big;
  long double extended;
  int32_t after_loading_calls;
};

}  // namespace persistence_test
