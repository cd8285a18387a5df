#include "module/persistence/name_space.h"

std::string UpperAscii(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

int32_t TNameSpace::IndexOf(std::string_view name) const {
  const std::string upper = UpperAscii(name);
  for (int32_t i = 0; i < Length; ++i) {
    if (GetItem(i) == upper) {
      const int32_t alias = i < static_cast<int32_t>(Aliases.size()) ? Aliases[i] : -1;
      return alias >= 0 ? alias : i;
    }
  }
  return -1;
}

int32_t TNameSpace::Add(std::string name) {
  std::string upper = UpperAscii(name);
  const int32_t found = IndexOf(upper);
  if (found >= 0) return found;
  Aliases.resize(static_cast<size_t>(Length), -1);
  Aliases.push_back(-1);
  return TAOS::Add(std::move(upper));
}

int32_t TNameSpace::AddAlias(const std::string& alias, const std::string& canonical) {
  const int32_t found = IndexOf(alias);
  if (found >= 0) return found;
  const int32_t target = Add(canonical);
  const int32_t own = TAOS::Add(UpperAscii(alias));
  Aliases.resize(static_cast<size_t>(Length), -1);
  Aliases[own] = target;
  return own;
}

std::vector<int32_t> TNameSpace::MapNames(const TNameSpace& other) const {
  std::vector<int32_t> map(static_cast<size_t>(Length));
  for (int32_t i = 0; i < Length; ++i) map[i] = other.IndexOf(GetItem(i));
  return map;
}

void TNameSpace::Load() {
  TAOS::Load();
  Aliases.assign(static_cast<size_t>(Length), -1);
}
