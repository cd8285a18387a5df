#include "module/runtime/floating_point.h"

#include <fenv.h>

#include <cstdint>

void SetModuleFloatingPoint() {
  feclearexcept(FE_ALL_EXCEPT);
  fedisableexcept(FE_ALL_EXCEPT);
  const uint16_t control_word = 0x133F;
  asm volatile("fldcw %0" : : "m"(control_word));
}
