// The sample module's generated content against the published formats:
// each model is read back by a reader of its own, written from the MD2
// layout and sharing nothing with the generator, and each picture is
// decoded by the host's PNG codec.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/png_pictures.h"
#include "unit/png_fixture.h"

namespace {

const std::string kContent = ZOK_CONTENT_PATH;

// The published layout, read field by field from little-endian bytes.
class Md2File {
 public:
  explicit Md2File(std::string bytes) : bytes_(std::move(bytes)) {}

  size_t Size() const { return bytes_.size(); }
  bool Has(size_t at, size_t n) const { return at <= bytes_.size() && n <= bytes_.size() - at; }
  int32_t Int32(size_t at) const { return Read<int32_t>(at); }
  int16_t Int16(size_t at) const { return Read<int16_t>(at); }
  float Float(size_t at) const { return Read<float>(at); }
  uint8_t Byte(size_t at) const { return static_cast<uint8_t>(bytes_.at(at)); }
  // Text of a fixed field up to its first zero; "" without a terminator.
  std::string FixedText(size_t at, size_t n) const {
    const std::string field = bytes_.substr(at, n);
    const size_t end = field.find('\0');
    return end == std::string::npos ? "" : field.substr(0, end);
  }

  enum Field {
    kIdent,
    kVersion,
    kSkinWidth,
    kSkinHeight,
    kFrameSize,
    kNumSkins,
    kNumXyz,
    kNumSt,
    kNumTris,
    kNumGlCmds,
    kNumFrames,
    kOfsSkins,
    kOfsSt,
    kOfsTris,
    kOfsFrames,
    kOfsGlCmds,
    kOfsEnd
  };
  int32_t Header(Field f) const { return Int32(4 * static_cast<size_t>(f)); }

 private:
  template <typename T>
  T Read(size_t at) const {
    T value;
    if (!Has(at, sizeof value)) throw std::out_of_range("read past the end");
    std::memcpy(&value, bytes_.data() + at, sizeof value);
    return value;
  }
  std::string bytes_;
};

constexpr size_t kHeaderBytes = 68;

struct Vec {
  float x, y, z;
};

// Frame f's vertices, decoded as a loader decodes them.
std::vector<Vec> FrameVertices(const Md2File& md2, int frame) {
  const size_t at = md2.Header(Md2File::kOfsFrames) +
                    static_cast<size_t>(frame) * md2.Header(Md2File::kFrameSize);
  std::vector<Vec> out;
  for (int i = 0; i < md2.Header(Md2File::kNumXyz); ++i) {
    const size_t v = at + 40 + 4 * static_cast<size_t>(i);
    out.push_back({md2.Byte(v) * md2.Float(at) + md2.Float(at + 12),
                   md2.Byte(v + 1) * md2.Float(at + 4) + md2.Float(at + 16),
                   md2.Byte(v + 2) * md2.Float(at + 8) + md2.Float(at + 20)});
  }
  return out;
}

struct GlWalk {
  std::vector<std::array<int32_t, 3>> triangles;  // in OpenGL's winding
  size_t words = 0;                               // terminating zero included
  int strips = 0, fans = 0;
};

// Walks the command lists; the ADD_FAILUREs name the first bad command.
GlWalk WalkGlCommands(const Md2File& md2) {
  GlWalk walk;
  size_t at = md2.Header(Md2File::kOfsGlCmds);
  const int32_t vertices = md2.Header(Md2File::kNumXyz);
  for (;;) {
    if (!md2.Has(at, 4)) {
      ADD_FAILURE() << "command list runs past the end of the file";
      return walk;
    }
    const int32_t count = md2.Int32(at);
    at += 4;
    ++walk.words;
    if (count == 0) return walk;
    const int32_t n = std::abs(count);
    if (n < 3 || !md2.Has(at, 12 * static_cast<size_t>(n))) {
      ADD_FAILURE() << "command of " << count << " vertices at word " << walk.words;
      return walk;
    }
    std::vector<int32_t> index;
    for (int32_t i = 0; i < n; ++i, at += 12) {
      EXPECT_TRUE(std::isfinite(md2.Float(at)) && std::isfinite(md2.Float(at + 4)));
      index.push_back(md2.Int32(at + 8));
      if (index.back() < 0 || index.back() >= vertices) {
        ADD_FAILURE() << "command vertex " << index.back() << " of " << vertices;
        return walk;
      }
    }
    walk.words += 3 * static_cast<size_t>(n);
    (count < 0 ? walk.fans : walk.strips)++;
    for (int32_t i = 2; i < n; ++i) {
      if (count < 0) {
        walk.triangles.push_back({index[0], index[i - 1], index[i]});
      } else if (i % 2 == 0) {
        walk.triangles.push_back({index[i - 2], index[i - 1], index[i]});
      } else {
        walk.triangles.push_back({index[i - 1], index[i - 2], index[i]});
      }
    }
  }
}

struct ModelCase {
  const char* file;
  bool animated;  // frames that differ, for the demon's walk and idle
};

void PrintTo(const ModelCase& c, std::ostream* os) {
  *os << c.file;
}

class SampleModel : public testing::TestWithParam<ModelCase> {
 protected:
  void SetUp() override {
    const std::string path = kContent + GetParam().file;
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    md2_ = std::make_unique<Md2File>(pngtest::ReadFile(path));
    ASSERT_GE(md2_->Size(), kHeaderBytes);
  }
  int32_t H(Md2File::Field f) const { return md2_->Header(f); }
  std::unique_ptr<Md2File> md2_;
};

TEST_P(SampleModel, HeaderAndSectionsFollowThePublishedLayout) {
  EXPECT_EQ(std::string(pngtest::ReadFile(kContent + GetParam().file).substr(0, 4)), "IDP2");
  EXPECT_EQ(H(Md2File::kVersion), 8);
  EXPECT_GT(H(Md2File::kSkinWidth), 0);
  EXPECT_GT(H(Md2File::kSkinHeight), 0);
  EXPECT_GT(H(Md2File::kNumSkins), 0);
  EXPECT_GT(H(Md2File::kNumFrames), 0);
  // The format's own table limits, which loaders size their arrays by.
  EXPECT_TRUE(H(Md2File::kNumXyz) > 0 && H(Md2File::kNumXyz) <= 2048) << H(Md2File::kNumXyz);
  EXPECT_TRUE(H(Md2File::kNumTris) > 0 && H(Md2File::kNumTris) <= 4096) << H(Md2File::kNumTris);
  EXPECT_EQ(H(Md2File::kFrameSize), 40 + 4 * H(Md2File::kNumXyz));
  EXPECT_EQ(static_cast<size_t>(H(Md2File::kOfsEnd)), md2_->Size());

  struct Section {
    const char* name;
    int64_t offset, bytes;
  };
  const Section sections[] = {
      {"skins", H(Md2File::kOfsSkins), 64LL * H(Md2File::kNumSkins)},
      {"st", H(Md2File::kOfsSt), 4LL * H(Md2File::kNumSt)},
      {"tris", H(Md2File::kOfsTris), 12LL * H(Md2File::kNumTris)},
      {"frames", H(Md2File::kOfsFrames),
       static_cast<int64_t>(H(Md2File::kFrameSize)) * H(Md2File::kNumFrames)},
      {"glcmds", H(Md2File::kOfsGlCmds), 4LL * H(Md2File::kNumGlCmds)},
  };
  for (const Section& s : sections) {
    EXPECT_GE(s.offset, static_cast<int64_t>(kHeaderBytes)) << s.name;
    EXPECT_LE(s.offset + s.bytes, H(Md2File::kOfsEnd)) << s.name;
    for (const Section& t : sections) {
      if (&s == &t) continue;
      EXPECT_TRUE(s.offset + s.bytes <= t.offset || t.offset + t.bytes <= s.offset)
          << s.name << " overlaps " << t.name;
    }
  }
}

TEST_P(SampleModel, TablesHoldOnlyValidReferencesAndNames) {
  if (HasFailure()) return;
  for (int i = 0; i < H(Md2File::kNumSkins); ++i) {
    const std::string skin = md2_->FixedText(H(Md2File::kOfsSkins) + 64 * i, 64);
    EXPECT_FALSE(skin.empty()) << "skin " << i << " unnamed or not terminated";
    EXPECT_TRUE(std::filesystem::exists(kContent + skin)) << skin;
  }
  for (int t = 0; t < H(Md2File::kNumTris); ++t) {
    const size_t at = H(Md2File::kOfsTris) + 12 * static_cast<size_t>(t);
    for (int k = 0; k < 3; ++k) {
      const int16_t vertex = md2_->Int16(at + 2 * k), st = md2_->Int16(at + 6 + 2 * k);
      ASSERT_TRUE(vertex >= 0 && vertex < H(Md2File::kNumXyz)) << "triangle " << t;
      ASSERT_TRUE(st >= 0 && st < H(Md2File::kNumSt)) << "triangle " << t;
    }
  }
  for (int f = 0; f < H(Md2File::kNumFrames); ++f) {
    const size_t at = H(Md2File::kOfsFrames) + static_cast<size_t>(f) * H(Md2File::kFrameSize);
    EXPECT_FALSE(md2_->FixedText(at + 24, 16).empty()) << "frame " << f;
    for (int k = 0; k < 6; ++k) EXPECT_TRUE(std::isfinite(md2_->Float(at + 4 * k)));
  }
}

// The loader draws only the command lists, so they must draw every
// triangle of the model once and end exactly where the header says.
TEST_P(SampleModel, CommandListsAreWellFormedAndDrawEveryTriangle) {
  if (HasFailure()) return;
  const GlWalk walk = WalkGlCommands(*md2_);
  EXPECT_EQ(walk.words, static_cast<size_t>(H(Md2File::kNumGlCmds)));
  EXPECT_GT(walk.strips + walk.fans, 0);
  // Same triangles as the triangle table, each with the same winding:
  // triples compared from their smallest index on.
  const auto canonical = [](std::array<int32_t, 3> t) {
    while (t[0] > t[1] || t[0] > t[2]) t = {t[1], t[2], t[0]};
    return t;
  };
  std::multiset<std::array<int32_t, 3>> table, drawn;
  for (int t = 0; t < H(Md2File::kNumTris); ++t) {
    const size_t at = H(Md2File::kOfsTris) + 12 * static_cast<size_t>(t);
    table.insert(canonical({md2_->Int16(at), md2_->Int16(at + 2), md2_->Int16(at + 4)}));
  }
  for (const auto& t : walk.triangles) drawn.insert(canonical(t));
  EXPECT_EQ(drawn.size(), table.size());
  EXPECT_TRUE(drawn == table) << "the command lists draw other triangles than the table";
}

TEST_P(SampleModel, AnimatedModelsHaveFramesThatMove) {
  if (HasFailure() || !GetParam().animated) return;
  ASSERT_GT(H(Md2File::kNumFrames), 1);
  const std::vector<Vec> first = FrameVertices(*md2_, 0);
  int moving = 0;
  for (int f = 1; f < H(Md2File::kNumFrames); ++f) {
    const std::vector<Vec> other = FrameVertices(*md2_, f);
    for (size_t i = 0; i < first.size(); ++i) {
      if (std::fabs(first[i].x - other[i].x) + std::fabs(first[i].z - other[i].z) > 1) {
        ++moving;
        break;
      }
    }
  }
  EXPECT_EQ(moving, H(Md2File::kNumFrames) - 1);
}

INSTANTIATE_TEST_SUITE_P(Md2Layout, SampleModel,
                         testing::Values(ModelCase{"lostsoul.MD2", false},
                                         ModelCase{"lostsoul_flame.MD2", false},
                                         ModelCase{"pinky.MD2", true}, ModelCase{"box.MD2", false}),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

// The scene stands inside the room and culls back faces, so every face of
// the room, in the winding the command lists give it, must face inwards.
TEST(Md2LayoutRoom, EveryFaceIsSeenFromInside) {
  const Md2File md2(pngtest::ReadFile(kContent + "box.MD2"));
  const std::vector<Vec> v = FrameVertices(md2, 0);
  Vec centre{0, 0, 0};
  for (const Vec& p : v)
    centre = {centre.x + p.x / v.size(), centre.y + p.y / v.size(), centre.z + p.z / v.size()};
  const GlWalk walk = WalkGlCommands(md2);
  ASSERT_FALSE(walk.triangles.empty());
  for (const auto& t : walk.triangles) {
    const Vec a = v[t[0]], b = v[t[1]], c = v[t[2]];
    const Vec e1{b.x - a.x, b.y - a.y, b.z - a.z}, e2{c.x - a.x, c.y - a.y, c.z - a.z};
    const Vec n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    const float towards_centre =
        n.x * (centre.x - a.x) + n.y * (centre.y - a.y) + n.z * (centre.z - a.z);
    ASSERT_GT(towards_centre, 0) << "triangle " << t[0] << " " << t[1] << " " << t[2];
  }
}

struct PictureCase {
  std::string file;
  bool flame;  // RGBA with a transparent background
};

std::vector<PictureCase> Pictures() {
  std::vector<PictureCase> cases = {
      {"Skindemon.png", false}, {"lostsoul_Skin.png", false}, {"005roche.png", false}};
  for (int i = 0; i < 8; ++i) cases.push_back({"Flame_Red_" + std::to_string(i) + ".png", true});
  return cases;
}

void PrintTo(const PictureCase& c, std::ostream* os) {
  *os << c.file;
}

class SamplePicture : public PngFixture, public testing::WithParamInterface<PictureCase> {};

bool PowerOfTwo(int32_t n) {
  return n > 0 && (n & (n - 1)) == 0;
}

// Power-of-two sizes because the scene uploads level 0 as it is, which
// OpenGL 1.1 accepts only at such sizes.
TEST_P(SamplePicture, DecodesThroughTheHostAtATextureSize) {
  const std::string png = pngtest::ReadFile(kContent + GetParam().file);
  ASSERT_FALSE(png.empty()) << GetParam().file;
  const pngtest::TDecoded decoded = pngtest::Decoded(png);
  EXPECT_TRUE(PowerOfTwo(decoded.width) && PowerOfTwo(decoded.height))
      << decoded.width << "×" << decoded.height;
  if (!GetParam().flame) return;
  ASSERT_EQ(decoded.mode, Im_RGBA);
  size_t clear = 0, solid = 0;
  for (size_t i = 3; i < decoded.pixels.size(); i += 4) {
    clear += decoded.pixels[i] == 0;
    solid += decoded.pixels[i] == 255;
  }
  const size_t pixels = decoded.pixels.size() / 4;
  EXPECT_GT(clear, pixels / 4) << "the background should be transparent";
  EXPECT_GT(solid, pixels / 20) << "the flame should be opaque somewhere";
}

INSTANTIATE_TEST_SUITE_P(Md2Layout, SamplePicture, testing::ValuesIn(Pictures()),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

// Ten frames a second must show a flicker: no two frames alike.
TEST(Md2LayoutFlame, FramesDifferFromEachOther) {
  for (int i = 0; i < 8; ++i) {
    const std::string a = pngtest::ReadFile(kContent + "Flame_Red_" + std::to_string(i) + ".png");
    const std::string b =
        pngtest::ReadFile(kContent + "Flame_Red_" + std::to_string((i + 1) % 8) + ".png");
    EXPECT_NE(a, b) << "frames " << i << " and " << (i + 1) % 8;
  }
}

}  // namespace
