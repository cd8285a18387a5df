// The basket writer: saves the graph of persistent objects reached from a
// root, with the tables of every registered type, class, field and name
// in front, so that a later build can still read it. Objects are written
// depth first, each at its first reference; later references are its
// index.
//
//   BeginSave(stream, file name, kind, signature);
//   WriteObjectReference(root);
//   EndSave();   // or AbandonSave() when anything failed
#pragma once

#include <cstdint>
#include <string>

#include "module/persistence/truly_persistent.h"
#include "module/persistence/word_stream.h"

// signature is the root's class name, checked by the reader.
void BeginSave(TWordStream& stream, const std::string& name, int32_t kind,
               const std::string& signature);
void BeginSave(const std::string& name, int32_t kind, const std::string& signature);
// -1 for nil, the index of an object written before, or 0, the class
// index and the object's body.
void WriteObjectReference(TTrulyPersistent* object);
// Finishes the file and sets every written object's _BasketIndex to 0.
void EndSave();
// After a failure: the same reset, the file closed as it is.
void AbandonSave();
