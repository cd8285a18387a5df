// Path handling. Both '/' and '\' are accepted as separators on input;
// results use '/'.
#pragma once

#include <stdexcept>
#include <string>

// Thrown for a ".." that has nothing before it to drop.
class EPathAboveRoot : public std::runtime_error {
 public:
  explicit EPathAboveRoot(const std::string& path);
};

// The directory part of path, cleaned: components split on either
// separator, each ".." dropped together with the component before it, "."
// and empty components dropped, each remaining component followed by '/'.
// An absolute path keeps its leading '/'. Empty for a path without a
// directory part.
std::string NormalizeDirectory(const std::string& path);

// NormalizeDirectory of path followed by its file name.
std::string NormalizePath(const std::string& path);

// The file-name part: after the last separator.
std::string FileNamePart(const std::string& path);

// True for a path that does not depend on the current directory.
bool IsAbsolutePath(const std::string& path);

// dir and name joined by exactly one '/'.
std::string JoinPath(const std::string& dir, const std::string& name);

// name itself when it is absolute, else name under dir.
std::string PathUnder(const std::string& dir, const std::string& name);

// Turns a directory (absolute or relative to base) into an absolute,
// normalised directory ending with '/'.
std::string AbsoluteDirectory(const std::string& dir, const std::string& base);
