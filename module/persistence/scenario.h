// Scenarios: a class's fields as the steps that save or load them, kept
// in the session's ScenarioTable. Consecutive plain fields form one run,
// copied as one block; a field with a handler is a step of its own.
//
// At index s: the step count n, then n steps of three entries: the type
// index of the handler's type (-1 for a run), the offset in the object, and
// the number of words of a run.
#pragma once

#include <cstdint>

#include "module/persistence/truly_persistent.h"

// Appends the scenario of the class's registered fields and makes it the
// class's current one.
void BuildScenario(TPersistentClass& persistent_class);
void RunSaveScenario(TTrulyPersistent& object, int32_t scenario_index);
void RunLoadScenario(TTrulyPersistent& object, int32_t scenario_index);

// The words a plain field of this stored size takes.
inline int32_t WordsOfSize(int32_t size) {
  return size > 0 ? (size - 1) / 4 + 1 : 0;
}
