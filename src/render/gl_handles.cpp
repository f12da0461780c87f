#include "render/gl_handles.h"

#include <SDL.h>

bool gl_context_current() {
    return SDL_GL_GetCurrentContext() != nullptr;
}

GlBuffer make_buffer() {
    GLuint name = 0;
    glGenBuffers(1, &name);
    return GlBuffer(name);
}

GlVertexArray make_vertex_array() {
    GLuint name = 0;
    glGenVertexArrays(1, &name);
    return GlVertexArray(name);
}

GlTexture make_texture_name() {
    GLuint name = 0;
    glGenTextures(1, &name);
    return GlTexture(name);
}
