#include "module/graphics/md2.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "module/gl/gl_functions.h"
#include "module/runtime/host_functions.h"
#include "module/runtime/module_report.h"

namespace {

std::vector<uint8_t> ReadWholeFile(const std::string& file_name) {
  std::ifstream file(file_name, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open \"" + file_name + "\"");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
  if (file.bad()) throw std::runtime_error("cannot read \"" + file_name + "\"");
  return bytes;
}

std::string UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

TMD2::TMD2(const std::string& name) : file_name(name) {
  ModuleVerboseLog(u"Loading \"%0\" ... ", {name.c_str()});
  const std::vector<uint8_t> bytes = ReadWholeFile(name);
  TakeContents(ParseMd2(bytes.data(), bytes.size()));
  if (ModuleDetailedLog() && host::AddLogSuccess != nullptr) host::AddLogSuccess();
}

TMD2::TMD2(const std::string& name, const uint8_t* data, size_t size) : file_name(name) {
  TakeContents(ParseMd2(data, size));
}

void TMD2::TakeContents(TMd2Contents contents) {
  header = contents.header;
  commands = std::move(contents.commands);
  frames = std::move(contents.frames);
  frame_names = std::move(contents.frame_names);
  skin_names = std::move(contents.skin_names);
}

int32_t TMD2::FindFrame(const std::string& name) const {
  const std::string wanted = UpperCase(name);
  for (size_t i = 0; i < frame_names.size(); ++i) {
    if (frame_names[i] == wanted) return static_cast<int32_t>(i);
  }
  return 0;
}

bool TMD2::HasFrame(int32_t frame) const {
  return frame >= 0 && static_cast<size_t>(frame) < frames.size();
}

void TMD2::ReportRenderingFailure(int32_t frame_a, int32_t frame_b) const {
  // Drawing goes on: the failure is logged, not raised.
  if (frame_b < 0) {
    ModuleLogText(
        Format(u"ERROR_MD2_RENDERING_FAILURE", {file_name.c_str(), frame_a, "(none)", "(none)"}));
  } else {
    ModuleLogText(
        Format(u"ERROR_MD2_RENDERING_FAILURE", {file_name.c_str(), frame_a, frame_b, "(none)"}));
  }
}

template <class Position>
void TMD2::DrawCommands(Position position, int32_t frame_a, int32_t frame_b) const {
  for (const TGlCommand& command : commands) {
    gl::Begin(command.kind == gcFan ? GL_TRIANGLE_FAN : GL_TRIANGLE_STRIP);
    try {
      for (const TGLVertex& vertex : command.vertices) {
        gl::TexCoord2f(vertex.s, 1.0f - vertex.t);
        const TMyVertex v = position(vertex.vertex_index);
        // The model's z axis is OpenGL's y axis.
        gl::Vertex3f(v.y, v.z, v.x);
      }
    } catch (const std::exception&) {
      ReportRenderingFailure(frame_a, frame_b);
    }
    gl::End();
  }
}

void TMD2::Draw(int32_t frame) const {
  if (!HasFrame(frame)) {
    ReportRenderingFailure(frame, -1);
    return;
  }
  const std::vector<TMyVertex>& vertices = frames[static_cast<size_t>(frame)];
  DrawCommands([&](uint32_t index) { return vertices.at(index); }, frame, -1);
}

void TMD2::DrawBlended(int32_t frame_a, int32_t frame_b, float weight) const {
  if (!HasFrame(frame_a) || !HasFrame(frame_b)) {
    ReportRenderingFailure(frame_a, frame_b);
    return;
  }
  const float w = std::isnan(weight) ? 0.0f : std::fmin(std::fmax(weight, 0.0f), 1.0f);
  const std::vector<TMyVertex>& a = frames[static_cast<size_t>(frame_a)];
  const std::vector<TMyVertex>& b = frames[static_cast<size_t>(frame_b)];
  DrawCommands(
      [&](uint32_t index) {
        const TMyVertex& p = a.at(index);
        const TMyVertex& q = b.at(index);
        return TMyVertex{(1 - w) * p.x + w * q.x, (1 - w) * p.y + w * q.y, (1 - w) * p.z + w * q.z,
                         p.normal_index};
      },
      frame_a, frame_b);
}
