#include "host/modules/container_registry.h"

#include <string>
#include <unordered_map>
#include <utility>

#include "host/messages/log.h"
#include "shared/text_codes.h"

namespace {

using TRegistry = std::unordered_map<std::string, std::unique_ptr<TContainer>>;

// Owning the containers frees whatever is still registered when the
// process ends, so leak checkers see only real leaks.
TRegistry& Registry() {
  static TRegistry registry;
  return registry;
}

}  // namespace

TContainer* FindContainer(std::string_view name) {
  const auto found = Registry().find(AsciiUpper(name));
  return found == Registry().end() ? nullptr : found->second.get();
}

TContainer& GetOrCreateContainer(std::string_view name) {
  if (TContainer* existing = FindContainer(name)) return *existing;
  return RegisterContainer(name, std::make_unique<TContainer>(0));
}

TContainer& RegisterContainer(std::string_view name, std::unique_ptr<TContainer> container) {
  std::unique_ptr<TContainer>& slot = Registry()[AsciiUpper(name)];
  slot = std::move(container);
  return *slot;
}

bool DeleteRegisteredContainer(std::string_view name) {
  return Registry().erase(AsciiUpper(name)) > 0;
}

int ContainerCount() {
  return static_cast<int>(Registry().size());
}

void RefuseContainerInUse(std::string_view name) {
  FatalError(MI_ERROR_PROGRAMMER_NO_BAKA,
             {"The container \"" + std::string(name) +
              "\" is in use by an open zok-file or a picture being decoded."});
}

TContainer* FindUnpinnedContainer(std::string_view name) {
  TContainer* container = FindContainer(name);
  if (container != nullptr && container->IsPinned()) RefuseContainerInUse(name);
  return container;
}
