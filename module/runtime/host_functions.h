// Host functions the module calls, one variable per entry of the host's
// table, bound by number when the module starts (null until then). Every
// load of the library starts with all of them empty and binds them again.
#pragma once

#include <cstdint>

#include "shared/host_function_table.h"
#include "shared/zok_protocol.h"

namespace host {
#define ZOK_DECLARE_HOST_FUNCTION_VARIABLE(index, name, result, params) extern THostFn_##name name;
ZOK_HOST_FUNCTIONS(ZOK_DECLARE_HOST_FUNCTION_VARIABLE)
#undef ZOK_DECLARE_HOST_FUNCTION_VARIABLE

// Binds every entry through the host's lookup function, in the binding
// order of the table.
void BindAll(THostLookup lookup);
// Empties every variable.
void UnbindAll();
}  // namespace host
