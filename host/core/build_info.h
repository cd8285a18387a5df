// How this host identifies itself in its version line.
#pragma once

constexpr const char* kHostBuildDate = "2006/10/05";
constexpr const char* kHostBuildTime = "18:35:48";
constexpr const char* kHostProcessor = "x86_64";
constexpr const char* kHostCompiler = "g++ " __VERSION__;
