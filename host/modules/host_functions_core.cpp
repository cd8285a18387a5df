// Host functions of the module boundary itself: checks, flags, paths.
#include <cmath>
#include <string>

#include "host/core/globals.h"
#include "host/core/paths.h"
#include "host/core/quit_request.h"
#include "host/messages/log.h"
#include "host/modules/host_functions.h"
#include "host/platform/clock.h"
#include "host/platform/file_system.h"
#include "shared/format.h"
#include "shared/text_codes.h"
#include "shared/zok_protocol.h"

namespace hf {

int32_t ReturnOne() {
  return 1;
}

void* ReturnNull(void*) {
  return nullptr;
}

void ValidateTypesets(int32_t highest, int32_t kind) {
  const char* type_name = "ValidateTypesets()";
  int32_t own_highest = -1;
  if (kind == 0) {
    type_name = "TMessageId";
    own_highest = MI_CORE_MIDs_END;
  } else if (kind == 1) {
    type_name = "TCbMessage";
    own_highest = kCbMessageHighest;
  }
  if (own_highest < 0 || highest != own_highest) {
    FatalError(MI_ERROR_TYPESETS_MISMATCH, {type_name});
  }
}

void RequestExit() {
  RequestQuit();
}

void CheckHostVersion(int32_t major, int32_t minor, int32_t build) {
  // The build number is not compared: any build of a known version works.
  if (major <= kHostVersion.major && minor <= kHostVersion.minor) return;
  FatalError(MI_VERSIONS_MISMATCH,
             {FormatVersion(major, minor, build),
              FormatVersion(kHostVersion.major, kHostVersion.minor, kHostVersion.build)});
}

const char16_t* ProgramDirectory() {
  static std::u16string slot;
  slot = Cp1251ToWide(Host().program_directory);
  return slot.c_str();
}

int64_t MillisecondsSinceStart() {
  const double days = platform::LocalNowDays() - Host().start_time;
  // nearbyint rounds half to even in the default rounding mode.
  return static_cast<int64_t>(std::nearbyint(days * 86400000.0));
}

int32_t IsDeveloperMode() {
  return Host().developer_mode ? 1 : 0;
}

int32_t IsDebugMode() {
  return Host().debug_mode ? 1 : 0;
}

int32_t FileExistsInWorkingDir(const char* name) {
  return platform::IsRegularFile(PathUnder(Host().working_directory, name ? name : "")) ? 1 : 0;
}

void ReplaceFileInWorkingDir(const char* old_name, const char* new_name) {
  const std::string from = PathUnder(Host().working_directory, old_name ? old_name : "");
  const std::string to = PathUnder(Host().working_directory, new_name ? new_name : "");
  // Renaming over the target replaces it in one step: there is never a
  // moment without a file of the new name.
  std::string error;
  if (!platform::RenameOver(from, to, error)) {
    SetLastErrorText(1, error);
    FatalError(MI_ERROR_CANNOT_DESTROY_FILE, {to});
  }
}

}  // namespace hf
