// All floating-point exceptions masked, 64-bit x87 precision, round to
// nearest: for the whole thread, the host included, from module start on.
#pragma once

void SetModuleFloatingPoint();
