// The host functions of named containers, entries 20 to 25 of the host
// function table. Names and file names are zero-terminated 8-bit texts; a
// null text counts as empty. Relative file names are taken from the
// program directory, and '\' separates folders as well as '/'.
#pragma once

#include <cstdint>
#include <string>

// Clears and resizes the named container, or registers a new one; returns
// its (uninitialised) bytes, null for a size <= 0.
void* HostCreateContainer(const char* name, int32_t size);
// Null and 0 for a name that is not registered.
void* HostContainerData(const char* name);
int32_t HostContainerSize(const char* name);
// A name that is not registered is ignored.
void HostDeleteContainer(const char* name);
// Replaces the file's whole content with the container's bytes; a failed
// write leaves the old file as it was.
void HostSaveContainer(const char* name, const char* file_name);
// Reads the whole file into the named container (registered if new) and
// records the file name in it; stores the size through size when it is not
// null and returns the bytes.
void* HostLoadContainer(const char* name, const char* file_name, int32_t* size);

// The disk path a container file name stands for.
std::string ContainerFilePath(const std::string& file_name);
