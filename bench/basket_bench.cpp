// The basket against boost.serialization's binary archive on the same
// graph: 100,000 small objects, each with a string, an integer array and a
// reference to an earlier object, held by one root. Write, read with
// unchanged classes, and read with one class changed (field by field).
#include <benchmark/benchmark.h>

#include <boost/archive/binary_iarchive.hpp>
#include <boost/archive/binary_oarchive.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/vector.hpp>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "module/persistence/basket_reader.h"
#include "module/persistence/basket_writer.h"
#include "module/persistence/class_registration.h"
#include "module/persistence/type_registry.h"
#include "support/memory_basket_io.h"

namespace {

constexpr int32_t kItems = 100000;

#define ZOK_BENCH_ITEM(ns, extra_member, extra_registration)   \
  namespace ns {                                               \
  class TItem : public TTrulyPersistent {                      \
    ZOK_PERSISTENT_CLASS(TItem, TTrulyPersistent)              \
   public:                                                     \
    TItem() = default;                                         \
    ~TItem() override { delete values; }                       \
    void RegisterFields() override {                           \
      RegField("f_id", id, zt::LongInt);                       \
      RegField("f_weight", weight, zt::Single);                \
      RegField("f_name", name, zt::AnsiString);                \
      RegField("f_values", values, zt::TAOI);                  \
      RegField("f_ref", ref);                                  \
      extra_registration;                                      \
    }                                                          \
    int32_t id;                                                \
    float weight;                                              \
    std::string name;                                          \
    TAOI* values;                                              \
    TItem* ref;                                                \
    extra_member;                                              \
  };                                                           \
  class TRoot : public TTrulyPersistent {                      \
    ZOK_PERSISTENT_CLASS(TRoot, TTrulyPersistent)              \
   public:                                                     \
    TRoot() = default;                                         \
    ~TRoot() override { delete items; }                        \
    void RegisterFields() override {                           \
      RegClass<TItem>();                                       \
      RegField("f_items", items, zt::TArrayOfTrulyPersistent); \
    }                                                          \
    TArrayOfTrulyPersistent* items;                            \
  };                                                           \
  }

ZOK_BENCH_ITEM(same, , )
ZOK_BENCH_ITEM(changed, int32_t added, RegField("f_added", added, zt::LongInt))

// The same graph for boost.
struct TBoostItem {
  int32_t id = 0;
  float weight = 0;
  std::string name;
  std::vector<int32_t> values;
  TBoostItem* ref = nullptr;
  template <class Archive>
  void serialize(Archive& archive, unsigned) {
    archive& id& weight& name& values& ref;
  }
};
struct TBoostRoot {
  std::vector<TBoostItem*> items;
  ~TBoostRoot() {
    for (TBoostItem* item : items) delete item;
  }
  template <class Archive>
  void serialize(Archive& archive, unsigned) {
    archive& items;
  }
};

std::string ItemName(int32_t i) {
  return "item number " + std::to_string(i);
}

std::unique_ptr<same::TRoot> MakeBasketGraph() {
  auto root = std::make_unique<same::TRoot>();
  root->items = new TArrayOfTrulyPersistent;
  root->items->Owns = true;
  root->items->Resize(kItems);
  for (int32_t i = 0; i < kItems; ++i) {
    auto* item = new same::TItem();
    item->id = i;
    item->weight = i * 0.5f;
    item->name = ItemName(i);
    item->values = new TAOI;
    item->values->Resize(3);
    for (int32_t j = 0; j < 3; ++j) (*item->values)[j] = i + j;
    item->ref = i > 0 ? static_cast<same::TItem*>(root->items->GetItem(i / 2)) : nullptr;
    root->items->SetItem(i, item);
  }
  return root;
}

std::unique_ptr<TBoostRoot> MakeBoostGraph() {
  auto root = std::make_unique<TBoostRoot>();
  root->items.reserve(kItems);
  for (int32_t i = 0; i < kItems; ++i) {
    auto* item = new TBoostItem();
    item->id = i;
    item->weight = i * 0.5f;
    item->name = ItemName(i);
    item->values = {i, i + 1, i + 2};
    item->ref = i > 0 ? root->items[i / 2] : nullptr;
    root->items.push_back(item);
  }
  return root;
}

void SaveBasket(TMemoryBasketIo& io, TTrulyPersistent& root) {
  TWordStream stream(io);
  BeginSave(stream, "bench.zok", 0, "TRoot");
  WriteObjectReference(&root);
  EndSave();
}

void LoadBasket(TMemoryBasketIo& io) {
  TWordStream stream(io);
  BeginLoad(stream, "bench.zok", "TRoot");
  ReadRootObject();
  for (TTrulyPersistent* object : EndLoad()) delete object;
}

void BM_BasketWrite(benchmark::State& state) {
  InitTypeRegistry();
  RegClass<same::TRoot>();
  auto root = MakeBasketGraph();
  TMemoryBasketIo io;
  for (auto _ : state) SaveBasket(io, *root);
  state.counters["bytes"] = static_cast<double>(io.data.size());
}

void BM_BoostWrite(benchmark::State& state) {
  auto root = MakeBoostGraph();
  size_t bytes = 0;
  for (auto _ : state) {
    std::ostringstream out;
    boost::archive::binary_oarchive archive(out);
    archive << *root;
    bytes = out.str().size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// Loaded containers are not owned by their arrays, so the items are freed
// one by one from the list the reader returns.
void BM_BasketRead(benchmark::State& state) {
  InitTypeRegistry();
  RegClass<same::TRoot>();
  TMemoryBasketIo io;
  {
    auto root = MakeBasketGraph();
    SaveBasket(io, *root);
  }
  for (auto _ : state) LoadBasket(io);
}

void BM_BasketReadChangedClass(benchmark::State& state) {
  InitTypeRegistry();
  RegClass<same::TRoot>();
  TMemoryBasketIo io;
  {
    auto root = MakeBasketGraph();
    SaveBasket(io, *root);
  }
  InitTypeRegistry();
  RegClass<changed::TRoot>();
  for (auto _ : state) LoadBasket(io);
}

void BM_BoostRead(benchmark::State& state) {
  std::string data;
  {
    auto root = MakeBoostGraph();
    std::ostringstream out;
    boost::archive::binary_oarchive archive(out);
    archive << *root;
    data = out.str();
  }
  for (auto _ : state) {
    std::istringstream in(data);
    boost::archive::binary_iarchive archive(in);
    TBoostRoot root;
    archive >> root;
  }
}

BENCHMARK(BM_BasketWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoostWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasketRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasketReadChangedClass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoostRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
