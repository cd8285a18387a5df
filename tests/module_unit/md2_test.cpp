// The MD2 loader and drawing: command lists, frame decoding and names, and
// every malformed file refused with an error instead of a read outside it.
#include "module/graphics/md2.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <limits>

#include "module/runtime/host_functions.h"
#include "support/md2_bytes.h"
#include "support/recording_gl.h"

namespace {

using md2test::TModel;

// Three vertices, two frames: "stand" at the raw bytes, "run" scaled and moved.
TModel TwoFrameTriangle() {
  TModel model;
  model.vertex_count = 3;
  model.skins = {"skins/Base.pcx"};
  model.commands = {{-3, {{0.0f, 0.25f, 0}, {1.0f, 0.0f, 1}, {0.5f, 1.0f, 2}}}};
  model.frames = {{"stand", {1, 1, 1}, {0, 0, 0}, {1, 2, 3, 7, 4, 5, 6, 8, 7, 8, 9, 9}},
                  {"run", {2, 2, 2}, {10, 20, 30}, {1, 2, 3, 7, 4, 5, 6, 8, 7, 8, 9, 9}}};
  return model;
}

TMD2 Load(const TModel& model) {
  const std::vector<uint8_t> bytes = md2test::Build(model);
  return TMD2("test.md2", bytes.data(), bytes.size());
}

std::vector<float> Flatten(const std::vector<gltest::TGlCall>& calls) {
  std::vector<float> values;
  for (const auto& call : calls)
    values.insert(values.end(), call.values.begin(), call.values.end());
  return values;
}

TEST(Md2Test, LoadsCountsNamesAndDecodedFrames) {
  const TMD2 model = Load(TwoFrameTriangle());
  EXPECT_EQ(model.FrameCount(), 2);
  EXPECT_EQ(model.SkinCount(), 1);
  EXPECT_EQ(model.VertexCount(), 3);
  EXPECT_EQ(model.skin_names, (std::vector<std::string>{"SKINS/BASE.PCX"}));
  EXPECT_EQ(model.frame_names, (std::vector<std::string>{"STAND", "RUN"}));
  const TMyVertex v = model.frames[1][2];
  EXPECT_FLOAT_EQ(v.x, 7 * 2 + 10.0f);
  EXPECT_FLOAT_EQ(v.y, 8 * 2 + 20.0f);
  EXPECT_FLOAT_EQ(v.z, 9 * 2 + 30.0f);
  EXPECT_EQ(v.normal_index, 9);
}

TEST(Md2Test, CommandCountSignGivesFanOrStripAndTIsFlippedInMemory) {
  struct TCase {
    int32_t count;
    TGlCommandKind kind;
    GLenum mode;
  };
  for (const TCase& c : {TCase{-3, gcFan, GL_TRIANGLE_FAN}, TCase{3, gcStrip, GL_TRIANGLE_STRIP}}) {
    TModel source = TwoFrameTriangle();
    source.commands[0].count = c.count;
    const TMD2 model = Load(source);
    ASSERT_EQ(model.commands.size(), 1u);
    EXPECT_EQ(model.commands[0].kind, c.kind);
    ASSERT_EQ(model.commands[0].vertices.size(), 3u);
    EXPECT_FLOAT_EQ(model.commands[0].vertices[0].t, 0.75f);

    const gltest::TRecordingGl recorder;
    model.Draw(0);
    ASSERT_EQ(recorder.Calls().size(), 8u);
    EXPECT_EQ(recorder.Calls().front().values, std::vector<float>{float(c.mode)});
    EXPECT_EQ(recorder.Calls().back().name, "End");
    // The file's t comes back; the model's z axis is drawn as y.
    EXPECT_EQ(recorder.Calls()[1].values, (std::vector<float>{0.0f, 0.25f}));
    EXPECT_EQ(recorder.Calls()[2].values, (std::vector<float>{2, 3, 1}));
  }
}

TEST(Md2Test, AFirstCountOfZeroGivesNoCommandsAndDrawsNothing) {
  TModel source = TwoFrameTriangle();
  source.commands.clear();
  const TMD2 model = Load(source);
  EXPECT_TRUE(model.commands.empty());
  const gltest::TRecordingGl recorder;
  model.Draw(1);
  EXPECT_TRUE(recorder.Calls().empty());
}

TEST(Md2Test, FindFrameIgnoresCaseAndAnswersZeroForAbsentNames) {
  const TMD2 model = Load(TwoFrameTriangle());
  EXPECT_EQ(model.FindFrame("run"), 1);
  EXPECT_EQ(model.FindFrame("RUN"), 1);
  EXPECT_EQ(model.FindFrame("stand"), 0);
  EXPECT_EQ(model.FindFrame("jump"), 0);
}

TEST(Md2Test, DrawBlendedClampsTheWeight) {
  const TMD2 model = Load(TwoFrameTriangle());
  auto positions = [&](auto draw) {
    const gltest::TRecordingGl recorder;
    draw();
    return Flatten(recorder.CallsOf("Vertex"));
  };
  const auto frame_a = positions([&] { model.Draw(0); });
  const auto frame_b = positions([&] { model.Draw(1); });
  struct TCase {
    float weight;
    const std::vector<float>& expected;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const TCase& c : {TCase{1.7f, frame_b}, TCase{1.0f, frame_b}, TCase{-2.0f, frame_a},
                         TCase{0.0f, frame_a}, TCase{nan, frame_a}}) {
    EXPECT_EQ(positions([&] { model.DrawBlended(0, 1, c.weight); }), c.expected) << c.weight;
  }
  const auto half = positions([&] { model.DrawBlended(0, 1, 0.5f); });
  ASSERT_EQ(half.size(), frame_a.size());
  for (size_t i = 0; i < half.size(); ++i) {
    EXPECT_FLOAT_EQ(half[i], (frame_a[i] + frame_b[i]) / 2);
  }
}

TEST(Md2Test, FrameIndicesOutsideTheModelAreReportedAndDrawNothing) {
  const TMD2 model = Load(TwoFrameTriangle());
  static std::vector<std::u16string> log;
  log.clear();
  const auto old_add_log = host::AddLog;
  host::AddLog = [](const char16_t* text) { log.emplace_back(text); };
  const gltest::TRecordingGl recorder;
  model.Draw(2);
  model.Draw(-1);
  model.DrawBlended(0, 5, 0.5f);
  model.DrawBlended(INT_MIN, 1, 0.5f);
  host::AddLog = old_add_log;
  EXPECT_TRUE(recorder.Calls().empty());
  ASSERT_EQ(log.size(), 4u);
  for (const auto& line : log) {
    EXPECT_NE(line.find(u"ERROR_MD2_RENDERING_FAILURE"), std::u16string::npos);
    EXPECT_NE(line.find(u"test.md2"), std::u16string::npos);
  }
}

// Every way a file can lie about its layout is refused with EMd2Format.
TEST(Md2Test, MalformedFilesAreRefused) {
  using md2test::SetHeaderWord;
  struct TCase {
    const char* what;
    void (*spoil)(std::vector<uint8_t>&);
  };
  const TCase cases[] = {
      {"wrong ident", [](auto& b) { SetHeaderWord(b, md2test::kIdent, 0x32504448); }},
      {"wrong version", [](auto& b) { SetHeaderWord(b, md2test::kVersion, 7); }},
      {"negative skins", [](auto& b) { SetHeaderWord(b, md2test::kNumSkins, -1); }},
      {"negative vertices", [](auto& b) { SetHeaderWord(b, md2test::kNumVertices, -3); }},
      {"negative frames", [](auto& b) { SetHeaderWord(b, md2test::kNumFrames, -1); }},
      {"too many skins", [](auto& b) { SetHeaderWord(b, md2test::kNumSkins, 1000); }},
      {"too many frames", [](auto& b) { SetHeaderWord(b, md2test::kNumFrames, INT_MAX); }},
      {"too many vertices", [](auto& b) { SetHeaderWord(b, md2test::kNumVertices, INT_MAX); }},
      {"skins past the end", [](auto& b) { SetHeaderWord(b, md2test::kOfsSkins, 1 << 30); }},
      {"negative skin offset", [](auto& b) { SetHeaderWord(b, md2test::kOfsSkins, -64); }},
      {"frames past the end", [](auto& b) { SetHeaderWord(b, md2test::kOfsFrames, INT_MAX); }},
      {"commands past the end",
       [](auto& b) { SetHeaderWord(b, md2test::kOfsCommands, static_cast<int32_t>(b.size())); }},
      {"negative command offset", [](auto& b) { SetHeaderWord(b, md2test::kOfsCommands, -4); }},
      {"truncated header", [](auto& b) { b.resize(40); }},
      {"truncated frames", [](auto& b) { b.pop_back(); }},
  };
  const std::vector<uint8_t> good = md2test::Build(TwoFrameTriangle());
  for (const TCase& c : cases) {
    std::vector<uint8_t> bytes = good;
    c.spoil(bytes);
    EXPECT_THROW(TMD2("bad.md2", bytes.data(), bytes.size()), EMd2Format) << c.what;
  }
}

TEST(Md2Test, MalformedCommandListsAreRefused) {
  struct TCase {
    const char* what;
    md2test::TCommand command;
  };
  const TCase cases[] = {
      {"INT_MIN count", {INT_MIN, {}}},
      {"count past the file", {1000, {{0, 0, 0}}}},
      {"negative count past the file", {-1000, {{0, 0, 0}}}},
      {"index at the vertex count", {3, {{0, 0, 0}, {0, 0, 1}, {0, 0, 3}}}},
      {"negative index", {-3, {{0, 0, 0}, {0, 0, -1}, {0, 0, 2}}}},
  };
  for (const TCase& c : cases) {
    TModel source = TwoFrameTriangle();
    source.commands = {c.command};
    std::vector<uint8_t> bytes = md2test::Build(source);
    EXPECT_THROW(TMD2("bad.md2", bytes.data(), bytes.size()), EMd2Format) << c.what;
  }
  // A list that never ends runs out of file.
  std::vector<uint8_t> bytes = md2test::Build(TwoFrameTriangle());
  md2test::SetHeaderWord(bytes, md2test::kOfsCommands, static_cast<int32_t>(bytes.size()) - 2);
  EXPECT_THROW(TMD2("bad.md2", bytes.data(), bytes.size()), EMd2Format);
}

TEST(Md2Test, AMissingFileThrowsToTheCaller) {
  EXPECT_THROW(TMD2("/nonexistent/model.md2"), std::runtime_error);
}

// The content generators' models load and reference only their own vertices.
TEST(Md2Test, GeneratedModelsLoadWithCommandsInsideTheirVertices) {
  for (const char* name : {"lostsoul.MD2", "lostsoul_flame.MD2", "pinky.MD2", "box.MD2"}) {
    const std::string path = std::string(ZOK_CONTENT_PATH) + name;
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    const TMD2 model(path);
    EXPECT_GT(model.FrameCount(), 0) << name;
    EXPECT_GT(model.VertexCount(), 0) << name;
    EXPECT_FALSE(model.commands.empty()) << name;
    for (const TGlCommand& command : model.commands) {
      EXPECT_GE(command.vertices.size(), 3u) << name;
      for (const TGLVertex& v : command.vertices) {
        EXPECT_LT(v.vertex_index, static_cast<uint32_t>(model.VertexCount())) << name;
      }
    }
    for (const auto& frame : model.frames) {
      for (const TMyVertex& v : frame) {
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << name;
      }
    }
  }
}

}  // namespace
