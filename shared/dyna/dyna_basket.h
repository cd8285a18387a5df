// What the module build of the dynamic-array family needs from the
// persistence system to save and load itself: the open basket, a checked
// length word and the encodings of object elements.
#pragma once

#ifdef ZOK_MODULE_BUILD

#include <cstdint>

#include "module/persistence/basket_session.h"
#include "module/persistence/word_stream.h"

class TObject;
class TDyna;
class TTrulyPersistent;

// DynaBasket(), the basket being written or read, is in basket_session.h.
// A stored element count; a negative one, or one that cannot fit in the
// words left at min_words_each, is corrupt data.
int32_t ReadStoredLength(int32_t min_words_each);
// Ends the load: the basket holds something no writer produces.
[[noreturn]] void DynaCorrupt(const char* reason);

// Persistent objects are object references; containers are -1 or their
// own Save. Other objects cannot be stored.
void EncodeElement(TTrulyPersistent* element);
void EncodeElement(TDyna* element);
void EncodeElement(TObject* element);
// The argument only selects the element kind.
TTrulyPersistent* DecodeElement(TTrulyPersistent* kind);
TDyna* DecodeElement(TDyna* kind);
TObject* DecodeElement(TObject* kind);

#endif
