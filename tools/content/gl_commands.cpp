#include "gl_commands.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace content {

namespace {

uint64_t EdgeKey(int from, int to) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(from)) << 32) | static_cast<uint32_t>(to);
}

class Stripifier {
 public:
  explicit Stripifier(const std::vector<std::array<int, 3>>& triangles)
      : triangles_(triangles), used_(triangles.size(), false) {
    for (size_t t = 0; t < triangles.size(); ++t) {
      for (int k = 0; k < 3; ++k) {
        edges_.emplace(EdgeKey(triangles[t][k], triangles[t][(k + 1) % 3]), t);
      }
    }
  }

  std::vector<GlCommand> Run() {
    std::vector<GlCommand> commands;
    for (size_t t = 0; t < triangles_.size(); ++t) {
      if (used_[t]) continue;
      used_[t] = true;
      GlCommand command{false, {triangles_[t][0], triangles_[t][1], triangles_[t][2]}};
      while (Extend(command.vertices)) {
      }
      command.fan = command.vertices.size() == 3;
      commands.push_back(std::move(command));
    }
    return commands;
  }

 private:
  // The next strip triangle shares the last two vertices; on an even
  // position it runs p → q, on an odd one q → p, to keep the winding.
  bool Extend(std::vector<int>& strip) {
    const int p = strip[strip.size() - 2], q = strip.back();
    const bool even = (strip.size() - 2) % 2 == 0;
    const auto [from, to] = even ? std::pair{p, q} : std::pair{q, p};
    const auto range = edges_.equal_range(EdgeKey(from, to));
    for (auto it = range.first; it != range.second; ++it) {
      const size_t t = it->second;
      if (used_[t]) continue;
      const auto& tri = triangles_[t];
      for (int k = 0; k < 3; ++k) {
        if (tri[k] == from && tri[(k + 1) % 3] == to) {
          used_[t] = true;
          strip.push_back(tri[(k + 2) % 3]);
          return true;
        }
      }
    }
    return false;
  }

  const std::vector<std::array<int, 3>>& triangles_;
  std::vector<bool> used_;
  std::unordered_multimap<uint64_t, size_t> edges_;
};

}  // namespace

std::vector<GlCommand> BuildGlCommands(const std::vector<std::array<int, 3>>& triangles) {
  return Stripifier(triangles).Run();
}

std::vector<std::array<int, 3>> TrianglesOf(const std::vector<GlCommand>& commands) {
  std::vector<std::array<int, 3>> triangles;
  for (const GlCommand& c : commands) {
    const auto& v = c.vertices;
    for (size_t i = 2; i < v.size(); ++i) {
      if (c.fan) {
        triangles.push_back({v[0], v[i - 1], v[i]});
      } else if (i % 2 == 0) {
        triangles.push_back({v[i - 2], v[i - 1], v[i]});
      } else {
        triangles.push_back({v[i - 1], v[i - 2], v[i]});
      }
    }
  }
  return triangles;
}

}  // namespace content
