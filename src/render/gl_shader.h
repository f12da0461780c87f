// GLSL compiling and linking with the driver's log on failure.
#pragma once

#include <string>

#include "render/gl_handles.h"

// The name of the macro defined in every shader when the context cannot take depth
// 0..1 directly: the vertex program then maps its clip z from 0..w to -w..w itself.
inline constexpr char kDepthRemapMacro[] = "TORVI_DEPTH_REMAP";

// source with "#define TORVI_DEPTH_REMAP 1" put after its #version line when remap is set.
std::string shader_source_for(const std::string& source, bool remap_depth);

// Compiles one stage; on failure prints label and the driver's log, returns no shader.
GlShader compile_shader(GLenum stage, const std::string& source, const char* label);

// Links the two stages; on failure prints label and the driver's log, returns no program.
GlProgram link_program(GLuint vertex, GLuint fragment, const char* label);

// Compiles and links a built-in pair.
GlProgram build_program(const char* vertex, const char* fragment, bool remap_depth,
                        const char* label);

// The whole file; false, with one line on stderr, when it cannot be read.
bool read_shader_file(const char* path, std::string* text);
