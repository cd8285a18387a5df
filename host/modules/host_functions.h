// The host's implementations of the numbered host functions. Each entry's
// behaviour belongs to the subsystem that provides it; HostLookup hands
// their addresses to modules.
#pragma once

#include "shared/host_function_table.h"

namespace hf {
#define ZOK_DECLARE_HOST_FUNCTION(index, name, result, params) result name params;
ZOK_HOST_FUNCTIONS(ZOK_DECLARE_HOST_FUNCTION)
#undef ZOK_DECLARE_HOST_FUNCTION
}  // namespace hf

// Writes the address of host function index into *slot and returns 0; an
// index without an entry is a fatal error.
int32_t HostLookup(int32_t index, void** slot);
