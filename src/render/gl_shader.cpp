#include "render/gl_shader.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/atomic_file.h"

namespace {

// Far beyond any real shader; the file is read whole.
constexpr size_t kShaderFileSizeLimit = size_t{256} << 10;

}  // namespace

std::string shader_source_for(const std::string& source, bool remap_depth) {
    if (!remap_depth) return source;
    const std::string define = std::string("#define ") + kDepthRemapMacro + " 1\n";
    if (source.compare(0, 8, "#version") != 0) return define + source;
    const size_t end = source.find('\n');
    if (end == std::string::npos) return source + "\n" + define;
    return source.substr(0, end + 1) + define + source.substr(end + 1);
}

namespace {

// The driver's log a line at a time, each marked as the game's like every other line.
void print_log(const char* what, const char* label, const std::vector<char>& log) {
    std::fprintf(stderr, "torvi: %s %s failed:\n", what, label);
    const char* line = log.data();
    while (*line != '\0') {
        const char* end = std::strchr(line, '\n');
        const size_t length = end ? static_cast<size_t>(end - line) : std::strlen(line);
        if (length > 0) std::fprintf(stderr, "torvi:   %.*s\n", static_cast<int>(length), line);
        line += length + (end ? 1 : 0);
    }
}

}  // namespace

GlShader compile_shader(GLenum stage, const std::string& source, const char* label) {
    GlShader shader(glCreateShader(stage));
    const char* text = source.c_str();
    glShaderSource(shader.get(), 1, &text, nullptr);
    glCompileShader(shader.get());
    GLint ok = GL_FALSE;
    glGetShaderiv(shader.get(), GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    GLint length = 0;
    glGetShaderiv(shader.get(), GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    glGetShaderInfoLog(shader.get(), length, nullptr, log.data());
    print_log("compiling", label, log);
    return GlShader();
}

GlProgram link_program(GLuint vertex, GLuint fragment, const char* label) {
    if (vertex == 0 || fragment == 0) return GlProgram();
    GlProgram program(glCreateProgram());
    glAttachShader(program.get(), vertex);
    glAttachShader(program.get(), fragment);
    glLinkProgram(program.get());
    glDetachShader(program.get(), vertex);
    glDetachShader(program.get(), fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program.get(), GL_LINK_STATUS, &ok);
    if (ok == GL_TRUE) return program;
    GLint length = 0;
    glGetProgramiv(program.get(), GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    glGetProgramInfoLog(program.get(), length, nullptr, log.data());
    print_log("linking", label, log);
    return GlProgram();
}

GlProgram build_program(const char* vertex, const char* fragment, bool remap_depth,
                        const char* label) {
    const GlShader vs =
        compile_shader(GL_VERTEX_SHADER, shader_source_for(vertex, remap_depth), label);
    const GlShader fs =
        compile_shader(GL_FRAGMENT_SHADER, shader_source_for(fragment, remap_depth), label);
    return link_program(vs.get(), fs.get(), label);
}

bool read_shader_file(const char* path, std::string* text) {
    const FileRead read = read_whole_file(path, kShaderFileSizeLimit, *text);
    if (read.status != read_ok) {
        std::fprintf(stderr, "torvi: cannot read shader file \"%s\" (%s)\n", path,
                     read.longer ? "larger than 256 KiB" : file_error_text(read.error));
        return false;
    }
    return true;
}
