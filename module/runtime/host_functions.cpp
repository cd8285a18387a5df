#include "module/runtime/host_functions.h"

#include "shared/zok_protocol.h"

namespace host {
#define ZOK_DEFINE_HOST_FUNCTION_VARIABLE(index, name, result, params) \
  THostFn_##name name = nullptr;
ZOK_HOST_FUNCTIONS(ZOK_DEFINE_HOST_FUNCTION_VARIABLE)
#undef ZOK_DEFINE_HOST_FUNCTION_VARIABLE

namespace {

void** SlotOf(int32_t index) {
  switch (index) {
#define ZOK_HOST_FUNCTION_SLOT(number, name, result, params) \
  case number:                                               \
    return reinterpret_cast<void**>(&name);
    ZOK_HOST_FUNCTIONS(ZOK_HOST_FUNCTION_SLOT)
#undef ZOK_HOST_FUNCTION_SLOT
  }
  return nullptr;
}

}  // namespace

void BindAll(THostLookup lookup) {
  for (int32_t index : kHostFunctionBindingOrder) lookup(index, SlotOf(index));
}

void UnbindAll() {
  for (int32_t index : kHostFunctionBindingOrder) *SlotOf(index) = nullptr;
}

}  // namespace host
