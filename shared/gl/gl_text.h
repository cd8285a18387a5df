// Reading the strings an OpenGL driver describes itself with.
#pragma once

#include <compare>
#include <string_view>

struct TGLVersion {
  int major = 0;
  int minor = 0;
  friend auto operator<=>(const TGLVersion&, const TGLVersion&) = default;
};

// True when name occurs in text as a whole blank-separated word. An empty
// name, a name with a blank and a null text never match.
bool ExtensionListed(std::string_view name, const char* text);

// "4.5 (Compatibility Profile) Mesa 22.3.6" -> 4.5: the leading digits, one
// separator, the digits after it. Missing digits read as 0; null is 0.0.
TGLVersion ParseGLVersion(const char* text);
