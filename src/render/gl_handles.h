// Move-only owners of OpenGL object names, so every GL object has exactly one owner.
#pragma once

#include <epoxy/gl.h>

#include <utility>

// True while some GL context is current; objects that outlive the context (globals
// destroyed at exit) must not call into GL any more.
bool gl_context_current();

template <void (*Delete)(GLuint)>
class GlName {
  public:
    GlName() = default;
    explicit GlName(GLuint name) : name_(name) {}
    GlName(GlName&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    GlName& operator=(GlName&& other) noexcept {
        if (this != &other) {
            reset();
            name_ = std::exchange(other.name_, 0);
        }
        return *this;
    }
    GlName(const GlName&) = delete;
    GlName& operator=(const GlName&) = delete;
    ~GlName() { reset(); }

    GLuint get() const { return name_; }
    explicit operator bool() const { return name_ != 0; }
    void reset() {
        if (name_ != 0 && gl_context_current()) Delete(name_);
        name_ = 0;
    }

  private:
    GLuint name_ = 0;
};

namespace gl_delete {
inline void buffer(GLuint name) {
    glDeleteBuffers(1, &name);
}
inline void vertex_array(GLuint name) {
    glDeleteVertexArrays(1, &name);
}
inline void texture(GLuint name) {
    glDeleteTextures(1, &name);
}
inline void shader(GLuint name) {
    glDeleteShader(name);
}
inline void program(GLuint name) {
    glDeleteProgram(name);
}
}  // namespace gl_delete

using GlBuffer = GlName<gl_delete::buffer>;
using GlVertexArray = GlName<gl_delete::vertex_array>;
using GlTexture = GlName<gl_delete::texture>;
using GlShader = GlName<gl_delete::shader>;
using GlProgram = GlName<gl_delete::program>;

GlBuffer make_buffer();
GlVertexArray make_vertex_array();
GlTexture make_texture_name();
