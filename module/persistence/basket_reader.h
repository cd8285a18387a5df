// The basket reader: restores an object graph written by the basket
// writer, possibly by an earlier build. Stored classes, types, fields and
// enumeration values are matched to the registered ones by name; unchanged
// classes are read with a block-copy scenario, changed ones field by field.
// Differences that can be bridged are logged together as one warning
// entry; the others end the load with a fatal error.
//
//   BeginLoad(stream, file name, root class name);
//   TTrulyPersistent* root = ReadRootObject();
//   EndLoad();     // runs AfterLoading; or AbandonLoad() when anything failed
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "module/persistence/truly_persistent.h"
#include "module/persistence/word_stream.h"

void BeginLoad(TWordStream& stream, const std::string& name, const std::string& signature);
void BeginLoad(const std::string& name, const std::string& signature);
// The root: an object of the signature's class or of a class derived from it.
TTrulyPersistent* ReadRootObject();
// One reference to an object of declared or a derived class; nil allowed.
void ReadObjectReference(TTrulyPersistent*& field, const TPersistentClass& declared);
// Reads a reference nobody keeps; an object it creates may be left unowned.
void SkipObjectReference(const TPersistentClass& declared);
// Closes the basket, runs AfterLoading on every loaded object in reading
// order and returns them in that order.
std::vector<TTrulyPersistent*> EndLoad();
// After a failure: closes the basket and destroys every object read so
// far, with their object references cleared first so that no destructor
// follows one into another destroyed object.
void AbandonLoad();

// The warnings of the last load, as they were logged.
const std::vector<std::u16string>& LastLoadWarnings();

// What matching did in the last load, counted for a one-line summary.
struct TLoadConversion {
  int32_t ClassesSame = 0;       // read with a block copy
  int32_t ClassesConverted = 0;  // read field by field
  int32_t FieldsMatched = 0;
  int32_t FieldsRetyped = 0;  // stored under another type: value dropped
  int32_t FieldsDropped = 0;  // no longer registered
  int32_t FieldsAdded = 0;    // registered but not stored: left empty
  int32_t EnumValuesMatched = 0;
  int32_t EnumValuesMoved = 0;    // found under another ordinal
  int32_t EnumValuesDropped = 0;  // unknown now: read as the first value
};
const TLoadConversion& LastLoadConversion();

// Used by the field handlers and TTrulyPersistent::Load.
int32_t TranslateEnumOrdinal(int32_t type_index, uint32_t stored_ordinal);
void LoadFieldByField(TTrulyPersistent& object);
