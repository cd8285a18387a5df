#include "host/core/paths.h"

#include <vector>

namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

size_t LastSeparator(const std::string& path) {
  return path.find_last_of("/\\");
}

}  // namespace

EPathAboveRoot::EPathAboveRoot(const std::string& path)
    : std::runtime_error("The path \"" + path + "\" climbs above its root with \"..\".") {}

std::string NormalizeDirectory(const std::string& path) {
  const size_t cut = LastSeparator(path);
  if (cut == std::string::npos) return {};
  const std::string dir = path.substr(0, cut);
  const bool absolute = IsSeparator(path[0]);

  std::vector<std::string> parts;
  size_t begin = 0;
  while (begin <= dir.size()) {
    size_t end = begin;
    while (end < dir.size() && !IsSeparator(dir[end])) ++end;
    const std::string part = dir.substr(begin, end - begin);
    begin = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) throw EPathAboveRoot(path);
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }

  std::string result = absolute ? "/" : "";
  for (const std::string& part : parts) result += part + '/';
  return result;
}

std::string FileNamePart(const std::string& path) {
  const size_t cut = LastSeparator(path);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string NormalizePath(const std::string& path) {
  return NormalizeDirectory(path) + FileNamePart(path);
}

bool IsAbsolutePath(const std::string& path) {
  return !path.empty() && IsSeparator(path[0]);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  size_t skip = 0;
  while (skip < name.size() && IsSeparator(name[skip])) ++skip;
  const std::string rest = name.substr(skip);
  return IsSeparator(dir.back()) ? dir + rest : dir + '/' + rest;
}

std::string PathUnder(const std::string& dir, const std::string& name) {
  return IsAbsolutePath(name) ? name : JoinPath(dir, name);
}

std::string AbsoluteDirectory(const std::string& dir, const std::string& base) {
  const std::string full = IsAbsolutePath(dir) ? dir : JoinPath(base, dir);
  // A trailing separator makes the whole text the directory part.
  return NormalizeDirectory(full.empty() || IsSeparator(full.back()) ? full : full + '/');
}
