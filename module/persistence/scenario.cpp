#include "module/persistence/scenario.h"

#include <vector>

#include "module/persistence/basket_session.h"
#include "module/persistence/type_registry.h"
#include "shared/dyna/dyna_basket.h"

namespace {

constexpr int32_t kNoHandler = -1;

}  // namespace

void BuildScenario(TPersistentClass& persistent_class) {
  std::vector<int32_t>& table = BasketSession().ScenarioTable;
  const auto start = static_cast<int32_t>(table.size());
  table.push_back(0);
  int32_t run = -1;  // the index of the open run's step, or -1
  const TFieldsList& fields = *persistent_class.FieldsList;
  for (int32_t i = 0; i < fields.Length; ++i) {
    const TFieldInfo& field = fields[i];
    const TTypeRecord& type = TypeRecord(field.TypeIndex);
    if (field.Skip != 0) {
      run = -1;
    } else if (type.Handler != nullptr && type.Kind != fk_enum) {
      run = -1;
      table.insert(table.end(), {field.TypeIndex, field.Offset, 0});
      ++table[start];
    } else if (run >= 0 && field.Offset == table[run + 1] + 4 * table[run + 2]) {
      table[run + 2] += WordsOfSize(type.Size);
    } else {
      run = static_cast<int32_t>(table.size());
      table.insert(table.end(), {kNoHandler, field.Offset, WordsOfSize(type.Size)});
      ++table[start];
    }
  }
  persistent_class.ScenarioIndex = start;
}

namespace {

// Plain fields go as blocks of words, the rest through their handlers; the
// same walk serves both directions.
void RunScenario(TTrulyPersistent& object, int32_t scenario_index, TFieldOperation operation) {
  TBasketSession& session = BasketSession();
  TWordStream& basket = DynaBasket();
  auto* base = reinterpret_cast<uint8_t*>(&object);
  // Handlers never add scenarios, so the table does not move under step.
  const int32_t* step = session.ScenarioTable.data() + scenario_index;
  for (int32_t n = *step++; n > 0; --n, step += 3) {
    if (step[0] != kNoHandler) {
      session.CurrentType = step[0];
      TypeRecord(step[0]).Handler(base + step[1], operation);
    } else if (operation == fio_Save) {
      basket.WriteWords(base + step[1], step[2]);
    } else {
      basket.ReadWords(base + step[1], step[2]);
    }
  }
}

}  // namespace

void RunSaveScenario(TTrulyPersistent& object, int32_t scenario_index) {
  RunScenario(object, scenario_index, fio_Save);
}

void RunLoadScenario(TTrulyPersistent& object, int32_t scenario_index) {
  RunScenario(object, scenario_index, fio_Load);
}
