#include "host/display/shared_resources.h"

#include <string>

#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/modules/container_functions.h"

void LoadSharedResources() {
  VerboseLog("Loading shared resources...");
  for (const TSharedResource& resource : kSharedResources) {
    const std::string path = Host().base_path + resource.file;
    HostLoadContainer(resource.container_name, path.c_str(), nullptr);
  }
  VerboseLogSuccess();
}
