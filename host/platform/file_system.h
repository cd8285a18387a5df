// File queries and operations. Paths use '/'.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

bool FileExists(const std::string& path);  // anything that exists, directories too
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);

// Modification time in nanoseconds since the epoch; -1 for a missing file.
int64_t FileTimeNs(const std::string& path);
// Size in bytes; -1 for a missing file.
int64_t FileSize(const std::string& path);

// Each returns false on failure, with the system's text in error.
bool DeleteFile(const std::string& path, std::string& error);
bool RenameOver(const std::string& from, const std::string& to, std::string& error);
bool CopyFile(const std::string& from, const std::string& to, std::string& error);
bool MakeDirectories(const std::string& path, std::string& error);

// Names (not paths) of the entries of a directory, "." and ".." left out.
// Returns false when the directory cannot be read.
bool ListDirectory(const std::string& path, std::vector<std::string>& names);

std::string CurrentDirectory();  // ends with '/'
bool ChangeDirectory(const std::string& path, std::string& error);

// Absolute path of the running program, from /proc/self/exe.
std::string OwnExecutablePath();

}  // namespace platform
