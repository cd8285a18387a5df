// Points the module's immediate-mode gl:: entries at recorders, so that a
// test sees exactly the calls a drawing makes. Restores the old pointers
// when it goes out of scope.
#pragma once

#include <GL/gl.h>

#include <string>
#include <vector>

#include "module/gl/gl_functions.h"

namespace gltest {

struct TGlCall {
  std::string name;
  std::vector<float> values;
};

inline std::vector<TGlCall>& RecordedCalls() {
  static std::vector<TGlCall> calls;
  return calls;
}

class TRecordingGl {
 public:
  TRecordingGl()
      : begin_(gl::Begin), end_(gl::End), tex_coord_(gl::TexCoord2f), vertex_(gl::Vertex3f) {
    RecordedCalls().clear();
    gl::Begin = [](GLenum mode) { RecordedCalls().push_back({"Begin", {float(mode)}}); };
    gl::End = [] { RecordedCalls().push_back({"End", {}}); };
    gl::TexCoord2f = [](GLfloat s, GLfloat t) { RecordedCalls().push_back({"TexCoord", {s, t}}); };
    gl::Vertex3f = [](GLfloat x, GLfloat y, GLfloat z) {
      RecordedCalls().push_back({"Vertex", {x, y, z}});
    };
  }
  ~TRecordingGl() {
    gl::Begin = begin_;
    gl::End = end_;
    gl::TexCoord2f = tex_coord_;
    gl::Vertex3f = vertex_;
  }
  TRecordingGl(const TRecordingGl&) = delete;
  TRecordingGl& operator=(const TRecordingGl&) = delete;

  const std::vector<TGlCall>& Calls() const { return RecordedCalls(); }
  // Only the calls of one name, in order.
  std::vector<TGlCall> CallsOf(const std::string& name) const {
    std::vector<TGlCall> found;
    for (const TGlCall& call : RecordedCalls()) {
      if (call.name == name) found.push_back(call);
    }
    return found;
  }

 private:
  decltype(gl::Begin) begin_;
  decltype(gl::End) end_;
  decltype(gl::TexCoord2f) tex_coord_;
  decltype(gl::Vertex3f) vertex_;
};

}  // namespace gltest
