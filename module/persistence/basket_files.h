// A whole save or load of an object graph in one call, cleaning up after a
// failure before it passes on: a failed save leaves every _BasketIndex 0,
// a failed load destroys the objects it had read.
#pragma once

#include <cstdint>
#include <string>

#include "module/persistence/truly_persistent.h"
#include "module/persistence/word_stream.h"

// Writes root and everything it reaches; the signature is root's class name.
void SaveObjectGraph(TWordStream& stream, TTrulyPersistent& root, const std::string& file_name,
                     int32_t kind);
// Reads the graph whose root is of class_name (or a class derived from it).
TTrulyPersistent* LoadObjectGraph(TWordStream& stream, const std::string& file_name,
                                  const std::string& class_name);

// The same on the module's basket, a zok-file of the host.
void SaveObjectGraph(TTrulyPersistent& root, const std::string& file_name, int32_t kind);
TTrulyPersistent* LoadObjectGraph(const std::string& file_name, const std::string& class_name);
