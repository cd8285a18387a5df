// The basket reader fed with damaged baskets: a valid basket of a small
// graph with the input's edits applied (so the fuzzer reaches the objects,
// not only the tables), or the input's bytes as they are. Every load ends
// either with the graph or with a report; the objects are freed either way.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "module/persistence/basket_reader.h"
#include "module/persistence/basket_writer.h"
#include "module/persistence/class_registration.h"
#include "module/runtime/module_report.h"
#include "module_unit/persistence_classes.h"
#include "support/memory_basket_io.h"

namespace {

using persistence_test::TNode;

std::vector<uint32_t> MakeValidBasket() {
  InitTypeRegistry();
  RegClass<TNode>();
  auto root = std::make_unique<TNode>();
  auto next = std::make_unique<TNode>();
  root->id = 1;
  root->name = "root";
  root->next = next.get();
  next->other = root.get();
  root->names = new TAOS;
  root->names->Add("a");
  root->grid = new T2DAOI;
  root->grid->SetRect(2, 2);
  root->children = new TArrayOfTrulyPersistent;
  root->children->Add(next.get());
  root->dwords = {{1, 2}, {3}};
  TMemoryBasketIo io;
  TWordStream stream(io);
  BeginSave(stream, "fuzz.zok", 0, "TNode");
  WriteObjectReference(root.get());
  EndSave();
  return io.Words();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<uint32_t> valid = MakeValidBasket();
  if (size == 0) return 0;
  TMemoryBasketIo io;
  if (data[0] & 1) {
    io.data.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  } else {
    // Edits of 6 bytes: a word index and its new value.
    std::vector<uint32_t> words = valid;
    for (size_t at = 1; at + 6 <= size; at += 6) {
      uint16_t index;
      uint32_t value;
      std::memcpy(&index, data + at, 2);
      std::memcpy(&value, data + at + 2, 4);
      words[index % words.size()] = value;
    }
    if (data[0] & 2) words.resize(words.size() * (data[0] >> 2) / 64);
    io.SetWords(words);
  }
  io.read_chunk_bytes = 64;
  TWordStream stream(io);
  try {
    BeginLoad(stream, "fuzz.zok", "TNode");
    ReadRootObject();
    for (TTrulyPersistent* object : EndLoad()) {
      // Loaded references do not own; the containers go with their node.
      delete object;
    }
  } catch (const EModuleFatal&) {
    AbandonLoad();
  } catch (const EBasketData&) {
    AbandonLoad();
  }
  return 0;
}
