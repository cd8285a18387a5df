#include "host/platform/atomic_file.h"

#include "host/platform/os_info.h"
#include "host/platform/replacing_file.h"

namespace platform {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                         TDurability durability) {
  TReplacingFile file;
  int err = file.Create(path);
  if (err == 0) err = file.Append(bytes.data(), bytes.size());
  if (err == 0) err = file.Commit(durability);
  if (err == 0) return true;
  file.Abandon();
  error = SystemErrorText(err);
  return false;
}

}  // namespace platform
