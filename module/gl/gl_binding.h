// Binding the module's OpenGL entry points through the host, so the module
// talks to the library and context the host made.
#pragma once

namespace gl {

// Nulls every entry point, extensions included.
void ClearGL();
// Resolves the OpenGL 1.1 set by name through host function 10. A name the
// library lacks stays null.
void BindGL();

}  // namespace gl
