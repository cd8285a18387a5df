// The process-wide list of named containers. Names are compared in ASCII
// upper case, so "$Console.PNG" finds "$console.png". A registered
// container lives until it is deleted here or the process ends; callers
// hold plain pointers that stay valid until then.
#pragma once

#include <memory>
#include <string_view>

#include "host/modules/cl_container.h"

// The container registered under name, or null.
TContainer* FindContainer(std::string_view name);

// The registered container, or a new empty one registered under name.
TContainer& GetOrCreateContainer(std::string_view name);

// Registers container under name, freeing one registered there before.
TContainer& RegisterContainer(std::string_view name, std::unique_ptr<TContainer> container);

// Frees and unregisters the container; false when none has that name.
bool DeleteRegisteredContainer(std::string_view name);

// The fatal error for a caller that would free, replace or merge the
// chunks of a pinned container.
[[noreturn]] void RefuseContainerInUse(std::string_view name);
// FindContainer, refusing a pinned container.
TContainer* FindUnpinnedContainer(std::string_view name);

// How many containers are registered.
int ContainerCount();
