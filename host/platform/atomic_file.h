// Replacing a file's whole content so that a crash or a full disk never
// leaves it half written.
#pragma once

#include <string>
#include <string_view>

#include "host/platform/replacing_file.h"

namespace platform {

// Writes bytes to a temporary file next to path, flushes it to the disk and
// renames it over path: readers see the old content or the new, never a
// mix. An existing file keeps its permission bits; a symbolic link stays a
// link and its target is replaced. Returns false with the system's text in
// error; path is then untouched. Unflushed skips the wait for the disk, for
// files that can be made again.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                         TDurability durability = TDurability::Flushed);

}  // namespace platform
