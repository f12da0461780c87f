// What a .x model file must be before the importer sees it. The importer trusts the
// counts a file declares (a 100-byte file can claim a billion indices), recurses once per
// nested frame, and indexes normals by the file's numbers unchecked; this check reads the
// text once, in linear time and bounded memory, and refuses such files.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t kModelFileSizeLimit = size_t{8} << 20;
constexpr int kModelNestingLimit = 32;

// Why the file's bytes are refused, or empty when the importer may read them: not a text
// .x file, larger than the size limit, objects nested deeper than the nesting limit, an
// object of a kind the game does not read, a count larger than the file's bytes can
// hold, an index outside its array, or a file cut short.
std::string model_file_refusal(const char* bytes, size_t size);
