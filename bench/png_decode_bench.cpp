// PNG decoding through the host (libpng loaded at run time, data read from
// a container) against a plain libpng decode of the same file from memory.
// The host's decode should stay within 1.1 times the plain one.
#include <benchmark/benchmark.h>
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/images/cl_libpng.h"
#include "host/images/cl_piccodec.h"
#include "host/images/picture_io.h"
#include "host/images/png_codec.h"
#include "host/modules/container_registry.h"

namespace {

constexpr int32_t kSide = 1024;

// Gradients with some noise: compresses like a real texture.
std::string MakePicture(TImageMode mode) {
  if (!libpng::IsLoaded()) libpng::Load("libpng16.so.16", PNG_LIBPNG_VER_STRING);
  const int32_t bpp = BytesPerPixel(mode);
  std::vector<uint8_t> pixels(static_cast<size_t>(kSide) * kSide * bpp);
  uint32_t noise = 12345;
  for (size_t i = 0; i < pixels.size(); ++i) {
    noise = noise * 1103515245u + 12345u;
    const size_t pixel = i / bpp;
    pixels[i] = static_cast<uint8_t>(pixel % kSide / 4 + pixel / kSide / 8 + (noise >> 28));
  }
  TContainer container(0);
  TPngCodec().Encode(container, pixels.data(), kSide, kSide, mode);
  return std::string(static_cast<const char*>(container.Data()),
                     static_cast<size_t>(container.Size()));
}

const std::string& Picture(int64_t mode) {
  static const std::string rgb = MakePicture(Im_RGB);
  static const std::string rgba = MakePicture(Im_RGBA);
  return mode == Im_RGBA ? rgba : rgb;
}

void HostDecode(benchmark::State& state) {
  const std::string& png = Picture(state.range(0));
  auto container = std::make_unique<TContainer>(0);
  container->AppendCopy(png.data(), static_cast<int32_t>(png.size()));
  container->SetFileName("bench.png");
  RegisterContainer("bench", std::move(container));
  std::vector<uint8_t> pixels;
  for (auto _ : state) {
    int32_t width = 0;
    int32_t height = 0;
    int32_t mode = 0;
    HostStartDecodingPicture("bench", &width, &height, &mode);
    pixels.resize(static_cast<size_t>(PictureBytes(width, height, mode)));
    HostFinishDecodingPicture(pixels.data());
    benchmark::DoNotOptimize(pixels.data());
  }
  DeleteRegisteredContainer("bench");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(pixels.size()));
}

struct TMemoryReader {
  const std::string* data;
  size_t offset;
};

void ReadMemory(png_structp png, png_bytep out, size_t n) {
  auto* reader = static_cast<TMemoryReader*>(png_get_io_ptr(png));
  if (reader->offset + n > reader->data->size()) png_error(png, "short");
  std::memcpy(out, reader->data->data() + reader->offset, n);
  reader->offset += n;
}

// The same transformations the host asks for, nothing else.
size_t PlainDecode(const std::string& png, std::vector<uint8_t>& pixels,
                   std::vector<png_bytep>& rows) {
  png_structp read = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(read);
  TMemoryReader reader{&png, 0};
  if (setjmp(png_jmpbuf(read))) std::abort();
  png_set_read_fn(read, &reader, &ReadMemory);
  png_read_info(read, info);
  const png_uint_32 width = png_get_image_width(read, info);
  const png_uint_32 height = png_get_image_height(read, info);
  png_set_interlace_handling(read);
  png_read_update_info(read, info);
  const size_t row_bytes = png_get_rowbytes(read, info);
  pixels.resize(row_bytes * height);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + y * row_bytes;
  (void)width;
  png_read_image(read, rows.data());
  png_destroy_read_struct(&read, &info, nullptr);
  return pixels.size();
}

void PlainLibpngDecode(benchmark::State& state) {
  const std::string& png = Picture(state.range(0));
  std::vector<uint8_t> pixels;
  std::vector<png_bytep> rows;
  size_t bytes = 0;
  for (auto _ : state) {
    bytes = PlainDecode(png, pixels, rows);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(HostDecode)->Arg(Im_RGB)->Arg(Im_RGBA)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLibpngDecode)->Arg(Im_RGB)->Arg(Im_RGBA)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
