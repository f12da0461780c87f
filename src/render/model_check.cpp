#include "render/model_check.h"

#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr size_t kHeaderSize = 16;  // "xof 0303txt 0032"

// The objects the game's models may hold; the importer's other readers (skins,
// animations, vertex declarations) index by the file's numbers in ways not checked here.
constexpr const char* kKnownObjects[] = {"Header",
                                         "Frame",
                                         "FrameTransformMatrix",
                                         "Mesh",
                                         "Material",
                                         "TextureFilename",
                                         "TextureFileName",
                                         "MeshNormals",
                                         "MeshTextureCoords",
                                         "MeshMaterialList",
                                         "MeshVertexColors",
                                         "AnimTicksPerSecond"};

enum TokenKind { token_end, token_open, token_close, token_word, token_number, token_other };

struct Token {
    TokenKind kind = token_end;
    std::string_view text;
};

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';';
}

bool starts_number(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

bool ends_word(char c) {
    return is_blank(c) || c == '{' || c == '}' || c == '"' || c == '<' || c == '>' || c == '\0';
}

class Tokens {
  public:
    Tokens(const char* bytes, size_t size) : text_(bytes, size), at_(kHeaderSize) {}

    Token next() {
        skip_blanks_and_comments();
        if (at_ >= text_.size()) return Token{};
        const size_t begin = at_;
        const char c = text_[at_];
        if (c == '{' || c == '}') {
            ++at_;
            return {c == '{' ? token_open : token_close, text_.substr(begin, 1)};
        }
        if (c == '"' || c == '<') {  // a string or a GUID, whole
            const size_t close = text_.find(c == '"' ? '"' : '>', at_ + 1);
            at_ = close == std::string_view::npos ? text_.size() : close + 1;
            return {close == std::string_view::npos ? token_end : token_other,
                    text_.substr(begin, at_ - begin)};
        }
        while (at_ < text_.size() && !ends_word(text_[at_])) ++at_;
        if (at_ == begin) {  // a stray '>' or zero byte: a token of its own
            ++at_;
            return {token_other, text_.substr(begin, 1)};
        }
        return {starts_number(c) ? token_number : token_word, text_.substr(begin, at_ - begin)};
    }

  private:
    void skip_blanks_and_comments() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            const bool comment = c == '#' || (c == '/' && text_.substr(at_, 2) == "//");
            if (comment) {
                const size_t end = text_.find('\n', at_);
                at_ = end == std::string_view::npos ? text_.size() : end;
            } else if (is_blank(c)) {
                ++at_;
            } else {
                return;
            }
        }
    }

    std::string_view text_;
    size_t at_;
};

// A number as the importer reads one: a sign, digits with at most one point, and an
// exponent. Anything else in a number's place could be read differently by the importer
// than by this check.
bool well_formed_number(std::string_view text) {
    size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        size_t exponent = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++exponent;
        if (exponent == 0) return false;
    }
    return i == text.size();
}

// What may follow an object's own data before its '}': numbers and strings (plain data
// objects), only nested objects (frames, meshes, material lists), or nothing.
enum Content { content_values, content_objects, content_nothing };

Content content_of(std::string_view kind) {
    if (kind == "Mesh" || kind == "Frame" || kind == "MeshMaterialList") return content_objects;
    if (kind == "MeshNormals" || kind == "MeshTextureCoords" || kind == "MeshVertexColors") {
        return content_nothing;
    }
    return content_values;
}

// A whole non-negative number written only in digits; -1 otherwise, -2 when it passes
// limit (any count or index that large cannot be held by the file).
long long whole_number(std::string_view text, long long limit) {
    if (text.empty()) return -1;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
        if (value > limit) return -2;
    }
    return value;
}

// What one Mesh declared, for the blocks inside it that index into it.
struct MeshShape {
    long long vertices = 0;
    std::vector<int> face_sizes;
};

class Checker {
  public:
    Checker(const char* bytes, size_t size)
        : tokens_(bytes, size), limit_(static_cast<long long>(size)) {}

    std::string run() {
        for (Token t = tokens_.next(); why_.empty() && t.kind != token_end; t = tokens_.next()) {
            if (t.kind == token_close) return "a '}' closes nothing";
            object_or_value(t, 1, nullptr, content_objects);
        }
        return why_;
    }

  private:
    bool fail(const std::string& why) {
        if (why_.empty()) why_ = why;
        return false;
    }

    // A count, a size or an index: a whole number no larger than max.
    bool number(long long max, const char* what, long long& value) {
        const Token t = tokens_.next();
        if (t.kind != token_number) return fail(std::string("the file ends or breaks in ") + what);
        value = whole_number(t.text, max);
        if (value >= 0) return true;
        if (value == -2)
            return fail(std::string(what) + ": " + std::string(t.text) + " is out of range");
        return fail(std::string(what) + " \"" + std::string(t.text) + "\" is no whole number");
    }

    // An index into an array of size items.
    bool array_index(long long size, const char* what, long long& value) {
        const Token t = tokens_.next();
        if (t.kind != token_number) return fail(std::string("the file ends or breaks in ") + what);
        value = whole_number(t.text, size - 1);
        if (value >= 0) return true;
        return fail(std::string("an index of ") + what + ", " + std::string(t.text) +
                    ", is outside its array of " + std::to_string(size));
    }

    // Any number: its value is not used, but a whole one may be a count the importer trusts.
    bool value(const char* what) {
        const Token t = tokens_.next();
        if (t.kind != token_number || !well_formed_number(t.text)) {
            return fail(std::string("the file ends or breaks in ") + what);
        }
        return whole_number(t.text, limit_) != -2 ||
               fail(std::string("a number ") + std::string(t.text) + " in " + what +
                    " is larger than the file can hold");
    }

    bool values(long long count, const char* what) {
        for (long long i = 0; i < count; ++i) {
            if (!value(what)) return false;
        }
        return true;
    }

    // Faces: a count, then each face's index count and indices below index_limit. With
    // sizes set, each face must have the size given (the faces of normals follow those of
    // positions one for one).
    bool faces(long long index_limit, const char* what, std::vector<int>* record,
               const std::vector<int>* sizes) {
        long long count = 0;
        if (!number(limit_, what, count)) return false;
        if (sizes && count != static_cast<long long>(sizes->size())) {
            return fail(std::string(what) + " do not match the mesh's faces one for one");
        }
        for (long long f = 0; f < count; ++f) {
            long long n = 0;
            if (!number(limit_, what, n)) return false;
            if (n < 3) return fail(std::string(what) + " hold a face of fewer than three corners");
            if (sizes && n != (*sizes)[static_cast<size_t>(f)]) {
                return fail(std::string(what) + " do not match the mesh's faces one for one");
            }
            if (record) record->push_back(static_cast<int>(n));
            for (long long k = 0; k < n; ++k) {
                long long index = 0;
                if (!array_index(index_limit, what, index)) return false;
            }
        }
        return true;
    }

    bool mesh(MeshShape& shape) {
        if (!number(limit_, "the vertex count", shape.vertices)) return false;
        if (!values(3 * shape.vertices, "the vertices")) return false;
        return faces(shape.vertices, "the faces", &shape.face_sizes, nullptr);
    }

    bool normals(const MeshShape& shape) {
        long long count = 0;
        if (!number(limit_, "the normal count", count)) return false;
        if (!values(3 * count, "the normals")) return false;
        return faces(count, "the normal faces", nullptr, &shape.face_sizes);
    }

    bool texture_coords(const MeshShape& shape) {
        long long count = 0;
        if (!number(limit_, "the texture coordinate count", count)) return false;
        if (count != shape.vertices)
            return fail("the texture coordinates do not match the vertices");
        return values(2 * count, "the texture coordinates");
    }

    bool material_list(const MeshShape& shape) {
        long long materials = 0, count = 0;
        if (!number(limit_, "the material count", materials)) return false;
        if (!number(limit_, "the material indices", count)) return false;
        if (count != 1 && count != static_cast<long long>(shape.face_sizes.size())) {
            return fail("the material indices do not match the faces");
        }
        for (long long i = 0; i < count; ++i) {
            long long at = 0;
            if (!array_index(materials, "the material indices", at)) return false;
        }
        return true;
    }

    bool vertex_colours(const MeshShape& shape) {
        long long count = 0;
        if (!number(limit_, "the vertex colour count", count)) return false;
        for (long long i = 0; i < count; ++i) {
            long long at = 0;
            if (!array_index(shape.vertices, "the vertex colours", at)) return false;
            if (!values(4, "the vertex colours")) return false;
        }
        return true;
    }

    // The data at the start of an object's body, by its kind; then its nested objects.
    bool body(std::string_view kind, int depth, const MeshShape* parent) {
        if (depth > kModelNestingLimit) return fail("objects are nested too deeply");
        MeshShape shape;
        bool ok = true;
        if (kind == "Mesh") ok = mesh(shape);
        if (parent && kind == "MeshNormals") ok = normals(*parent);
        if (parent && kind == "MeshTextureCoords") ok = texture_coords(*parent);
        if (parent && kind == "MeshMaterialList") ok = material_list(*parent);
        if (parent && kind == "MeshVertexColors") ok = vertex_colours(*parent);
        const MeshShape* inner = kind == "Mesh" ? &shape : parent;
        const Content content = content_of(kind);
        for (Token t = tokens_.next(); ok && why_.empty(); t = tokens_.next()) {
            if (t.kind == token_end) return fail("the file ends inside an object");
            if (t.kind == token_close) return true;
            object_or_value(t, depth + 1, inner, content);
        }
        return false;
    }

    void object_or_value(const Token& t, int depth, const MeshShape* mesh, Content content) {
        if (t.kind == token_open && content != content_nothing) {
            reference();
            return;
        }
        const bool data = t.kind == token_number || t.kind == token_other;
        if (content == content_nothing || (data && content != content_values)) {
            fail("unexpected \"" + std::string(t.text) + "\" after an object's data");
            return;
        }
        if (t.kind == token_number) {
            if (!well_formed_number(t.text)) return void(fail("a damaged number"));
            if (whole_number(t.text, limit_) == -2) fail("a number larger than the file can hold");
            return;
        }
        if (t.kind != token_word) return;
        if (t.text == "template") {
            skip_template(depth);
            return;
        }
        if (!known(t.text)) {
            fail("the object kind \"" + std::string(t.text) + "\" is not read by the game");
            return;
        }
        Token next = tokens_.next();
        if (next.kind == token_word) next = tokens_.next();  // the object's name
        if (next.kind != token_open) {
            fail("\"" + std::string(t.text) + "\" is not followed by '{'");
            return;
        }
        body(t.text, depth, mesh);
    }

    // A reference to a named object: "{ name }", perhaps with its GUID.
    void reference() {
        for (Token t = tokens_.next(); why_.empty(); t = tokens_.next()) {
            if (t.kind == token_close) return;
            if (t.kind == token_end || t.kind == token_open) {
                return void(fail("a reference \"{ name }\" is not closed"));
            }
        }
    }

    void skip_template(int depth) {
        int open = 0;
        for (Token t = tokens_.next(); why_.empty(); t = tokens_.next()) {
            if (t.kind == token_end) return void(fail("the file ends inside a template"));
            if (t.kind == token_open && depth + ++open > kModelNestingLimit) {
                return void(fail("objects are nested too deeply"));
            }
            if (t.kind == token_close && --open == 0) return;
        }
    }

    static bool known(std::string_view kind) {
        for (const char* name : kKnownObjects) {
            if (kind == name) return true;
        }
        return false;
    }

    Tokens tokens_;
    long long limit_;
    std::string why_;
};

}  // namespace

std::string model_file_refusal(const char* bytes, size_t size) {
    if (size > kModelFileSizeLimit) return "larger than 8 MiB";
    if (size < kHeaderSize || std::memcmp(bytes, "xof ", 4) != 0 ||
        std::memcmp(bytes + 8, "txt ", 4) != 0) {
        return "not a text .x file";
    }
    return Checker(bytes, size).run();
}
