// Zok-file writing and reading, plain and signed, on disk and in a
// container, against MD5 alone over the same bytes: the signed variant
// should cost little more than its digest.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/files/cl_file_io.h"
#include "host/files/md5_digest.h"
#include "host/modules/container_registry.h"

namespace {

constexpr size_t kFileBytes = 16 << 20;

const std::string& Data() {
  static const std::string data = [] {
    std::string bytes(kFileBytes, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 24);
    return bytes;
  }();
  return data;
}

// A scratch folder as the program's folder, where disk zok-files go.
class TBenchFolder {
 public:
  TBenchFolder() {
    char pattern[] = "/tmp/zokbench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("no scratch folder");
    path_ = std::string(pattern) + "/";
    Host().program_directory = path_;
    Host().working_directory = path_;
  }
  ~TBenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::string path_;
};

const char* NameFor(bool container) {
  return container ? "$bench" : "bench.zok";
}

void WriteFile(const char* name, char variant) {
  ZokFileBeginWrite(name, variant);
  const std::string& data = Data();
  for (size_t at = 0; at < data.size(); at += kZokChunkSize) {
    int32_t capacity = 0;
    uint8_t* buffer = ZokFileWriteBuffer(capacity);
    const size_t n = std::min(data.size() - at, static_cast<size_t>(capacity));
    std::memcpy(buffer, data.data() + at, n);
    ZokFileWrite(static_cast<int32_t>(n));
  }
  ZokFileEnd(false, "");
}

void ReadFile(const char* name) {
  ZokFileBeginRead(name);
  int64_t total = 0;
  for (;;) {
    int32_t size = 0;
    const uint8_t* chunk = ZokFileRead(size);
    if (size == 0) break;
    benchmark::DoNotOptimize(chunk[0]);
    total += size;
  }
  ZokFileEnd(false, "");
  if (total != static_cast<int64_t>(kFileBytes)) throw std::runtime_error("short read");
}

// Arguments: variant (0 plain, 1 signed), target (0 disk, 1 container).
char Variant(const benchmark::State& state) {
  return state.range(0) ? kZokSigned : kZokPlain;
}

void BM_Md5(benchmark::State& state) {
  TMd5 md5;
  for (auto _ : state) {
    md5.Start();
    md5.Update(Data().data(), Data().size());
    benchmark::DoNotOptimize(md5.Finish());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFileBytes));
}

void BM_ZokFileWrite(benchmark::State& state) {
  TBenchFolder folder;
  const char* name = NameFor(state.range(1));
  for (auto _ : state) WriteFile(name, Variant(state));
  DeleteRegisteredContainer(name);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFileBytes));
}

void BM_ZokFileRead(benchmark::State& state) {
  TBenchFolder folder;
  const char* name = NameFor(state.range(1));
  WriteFile(name, Variant(state));
  for (auto _ : state) ReadFile(name);
  DeleteRegisteredContainer(name);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFileBytes));
}

}  // namespace

BENCHMARK(BM_Md5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZokFileWrite)
    ->ArgNames({"signed", "container"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZokFileRead)
    ->ArgNames({"signed", "container"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
