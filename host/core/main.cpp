#include "host/core/startup.h"

int main(int argc, char** argv) {
  return RunHost(argc, argv);
}
