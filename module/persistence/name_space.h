// TNameSpace: a list of upper-case names where some entries are aliases
// standing for another entry, so that a type keeps its identity under
// either of its names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/dyna/dyna_types.h"

// ASCII letters a-z only: names are compared the same in every build.
std::string UpperAscii(std::string_view name);

class TNameSpace : public TAOS {
 public:
  const char* ClassName() const override { return "TNameSpace"; }

  // -1 when absent; an alias gives the index of the name it stands for.
  int32_t IndexOf(std::string_view name) const;
  // The index of name, appended when absent.
  int32_t Add(std::string name) override;
  // Both names in upper case; returns the alias's own index.
  int32_t AddAlias(const std::string& alias, const std::string& canonical);
  // For each name here, other.IndexOf(name).
  std::vector<int32_t> MapNames(const TNameSpace& other) const;
  // Stored names carry no alias links.
  void Load() override;

  // One entry per name: -1, or the index of the name it stands for.
  std::vector<int32_t> Aliases;
};
