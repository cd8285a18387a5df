// The module-wide values for code built outside a module library (tests,
// fuzz targets, benchmarks): the module's entry code defines them there.
#include "module/runtime/module_globals.h"

TModuleGlobals& Module() {
  static TModuleGlobals globals;
  return globals;
}
