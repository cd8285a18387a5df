// Matching a basket's tables to the registered types and classes by name.
#include <string>

#include "module/persistence/basket_reader_state.h"
#include "module/persistence/basket_session.h"
#include "module/persistence/type_registry.h"
#include "module/runtime/module_report.h"

namespace {

[[noreturn]] void FailUnknown(TMessageID id, TMsgArgs args) {
  ModuleFatalError(MI_BASKET_FAIL_LOAD,
                   {FormatMessage(id, args) + u"\n\r" + GetMessageText(MI_BASKET_EXPLAIN_UNKNOWN)});
}

class TMatcher {
 public:
  explicit TMatcher(TReaderState& state) : s_(state), p_(Persistence()) {}

  void Run() {
    if (s_.B_Fields.Length != s_.CNames.Length) DataCorrupt("B_Fields.Length <> CNames.Length");
    if (s_.TNames.Length != s_.TSizes.Length) DataCorrupt("TNames.Length <> TSizes.Length");
    MatchClasses();
    MatchTypes();
    s_.Warnings.clear();
    s_.Conversion = TLoadConversion{};
    for (int32_t i = 0; i < s_.B_Fields.Length; ++i) MatchFields(i);
    MatchEnumerations();
  }

 private:
  int32_t MapName(int32_t stored) const {
    if (stored < 0 || stored >= static_cast<int32_t>(s_.NameMap.size())) {
      DataCorrupt("Name index out of bounds.");
    }
    return s_.NameMap[stored];
  }
  std::u16string StoredName(int32_t stored) const {
    MapName(stored);
    return WideText(s_.StoredNames[stored]);
  }
  std::u16string CurrentName(int32_t name_index) const { return WideText(p_.AllNames[name_index]); }
  std::u16string TypeName(int32_t type_index) const {
    return CurrentName(p_.Registry[type_index].NameIndex);
  }
  // The stored type index of a field, checked.
  int32_t StoredType(int32_t stored) const {
    if (stored < 0 || stored >= s_.TNames.Length) DataCorrupt("Type index out of bounds.");
    return stored;
  }
  int32_t FirstTypeNamed(int32_t name_index) const {
    for (int32_t t = 0; t < p_.Registry.Length; ++t) {
      if (p_.Registry[t].NameIndex == name_index) return t;
    }
    return -1;
  }

  void MatchClasses() {
    s_.ClassMap.assign(static_cast<size_t>(s_.CNames.Length), -1);
    std::vector<uint8_t> taken(static_cast<size_t>(p_.ClassTypes.Length), 0);
    for (int32_t i = 0; i < s_.CNames.Length; ++i) {
      const int32_t n = MapName(s_.CNames[i]);
      for (int32_t c = 0; c < p_.ClassTypes.Length && n >= 0; ++c) {
        if (p_.Registry[p_.ClassTypes[c]].NameIndex == n) {
          s_.ClassMap[i] = c;
          break;
        }
      }
      if (s_.ClassMap[i] < 0) FailUnknown(MI_BASKET_UNKNOWN_CLASS, {StoredName(s_.CNames[i])});
      // One stored class per current class: the per-class values hold one
      // stored field list.
      if (taken[s_.ClassMap[i]]++ != 0) DataCorrupt("A class is stored twice.");
    }
  }

  void MatchTypes() {
    for (int32_t i = 0; i < s_.TNames.Length; ++i) {
      const int32_t n = MapName(s_.TNames[i]);
      if (n < 0 || FirstTypeNamed(n) < 0) {
        FailUnknown(MI_BASKET_UNKNOWN_TYPE, {StoredName(s_.TNames[i])});
      }
    }
    s_.TypeMap.assign(s_.NameMap.size(), 0);
    for (size_t k = 0; k < s_.NameMap.size(); ++k) {
      for (int32_t t = p_.Registry.Length - 1; t >= 0 && s_.NameMap[k] >= 0; --t) {
        if (p_.Registry[t].NameIndex == s_.NameMap[k]) {
          s_.TypeMap[k] = t;
          break;
        }
      }
    }
    for (int32_t i = 0; i < s_.TNames.Length; ++i) {
      const int32_t t = s_.TypeMap[s_.TNames[i]];
      if (s_.TSizes[i] != p_.Registry[t].Size) {
        FailUnknown(MI_BASKET_TYPE_SIZE_MISMATCH,
                    {StoredName(s_.TNames[i]), p_.Registry[t].Size, s_.TSizes[i]});
      }
    }
  }

  void MatchFields(int32_t i) {
    const int32_t c = s_.ClassMap[i];
    const std::u16string class_name = CurrentName(p_.Registry[p_.ClassTypes[c]].NameIndex);
    const TFieldsList& current = *p_.FieldTables.Row(c);
    TFieldsList& stored = *s_.B_Fields.Row(i);
    for (int32_t f = 0; f < stored.Length; ++f) {
      TFieldInfo& sf = stored[f];
      const int32_t name = MapName(sf.NameIndex);
      sf.Match = -1;
      for (int32_t k = 0; k < current.Length && name >= 0; ++k) {
        if (current[k].NameIndex == name) {
          sf.Match = k;
          break;
        }
      }
      sf.TypeIndex = FirstTypeNamed(MapName(s_.TNames[StoredType(sf.TypeIndex)]));
      const std::u16string field_name = StoredName(sf.NameIndex);
      if (sf.Match >= 0 && current[sf.Match].TypeIndex != sf.TypeIndex) {
        const TFieldInfo& cf = current[sf.Match];
        sf.Match = -1;
        const TFieldKind kind = p_.Registry[sf.TypeIndex].Kind;
        if (kind == fk_Class || kind == fk_Dyna) {
          ModuleFatalError(MI_BASKET_UNKNOWN_OBJECT_FIELD,
                           {class_name, field_name, TypeName(sf.TypeIndex)});
        }
        Warn(MI_BASKET_WRONG_FIELD_TYPE,
             {class_name, field_name, TypeName(sf.TypeIndex), TypeName(cf.TypeIndex)});
        ++s_.Conversion.FieldsRetyped;
      } else if (sf.Match < 0) {
        Warn(MI_BASKET_UNKNOWN_FIELD, {class_name, field_name, TypeName(sf.TypeIndex)});
        ++s_.Conversion.FieldsDropped;
      } else {
        ++s_.Conversion.FieldsMatched;
      }
    }
    for (int32_t k = 0; k < current.Length; ++k) {
      const TFieldInfo& cf = current[k];
      if (cf.Skip != 0) continue;
      const TFieldInfo* found = nullptr;
      for (int32_t f = 0; f < stored.Length && found == nullptr; ++f) {
        if (MapName(stored[f].NameIndex) == cf.NameIndex) found = &stored[f];
      }
      if (found == nullptr || found->Skip != 0) {
        Warn(MI_BASKET_MISSING_FIELD,
             {class_name, CurrentName(cf.NameIndex), TypeName(cf.TypeIndex)});
        ++s_.Conversion.FieldsAdded;
      }
    }
  }

  void MatchEnumerations() {
    s_.EnumSame.assign(static_cast<size_t>(p_.Registry.Length), 1);
    s_.EnumMap.assign(static_cast<size_t>(p_.Registry.Length), {});
    for (int32_t i = 0; i < s_.TNames.Length; ++i) {
      const int32_t t = s_.TypeMap[s_.TNames[i]];
      if (p_.Registry[t].Kind != fk_enum) continue;
      if (s_.StoredEnums.HighIndex() < i) DataCorrupt("Enumerated types table is too short.");
      const TAOI& stored = *s_.StoredEnums.Row(i);
      const TAOI& current = *p_.EnumValues.Row(t);
      bool same = current.Length == stored.Length;
      std::vector<int32_t>& map = s_.EnumMap[t];
      map.assign(static_cast<size_t>(stored.Length), 0);
      for (int32_t v = 0; v < stored.Length; ++v) {
        const int32_t name = MapName(stored[v]);
        int32_t w = -1;
        for (int32_t o = 0; o < current.Length && name >= 0; ++o) {
          if (current[o] == name) {
            w = o;
            break;
          }
        }
        if (w < 0) {
          w = 0;
          Warn(MI_BASKET_UNKNOWN_ENUM,
               {TypeName(t), StoredName(stored[v]), CurrentName(current[0])});
          ++s_.Conversion.EnumValuesDropped;
        } else if (w != v) {
          ++s_.Conversion.EnumValuesMoved;
        } else {
          ++s_.Conversion.EnumValuesMatched;
        }
        map[v] = w;
        same = same && w == v;
      }
      s_.EnumSame[t] = same ? 1 : 0;
      if (!same) Warn(MI_BASKET_ENUM_CHANGED, {TypeName(t)});
    }
  }

  void Warn(TMessageID id, TMsgArgs args) { s_.Warnings.push_back(FormatMessage(id, args)); }

  TReaderState& s_;
  const TPersistenceRegistry& p_;
};

}  // namespace

void MatchStoredTables(TReaderState& state) {
  TMatcher(state).Run();
}
