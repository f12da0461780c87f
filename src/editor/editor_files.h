// The names the editors save and load under: Data/maps/NAME.map and Data/bones/NAME.bones.
#pragma once

#include <cstddef>

constexpr const char* kBonesFolder = "Data/bones/";
constexpr const char* kBonesExtension = ".bones";
// Longer names than a save dialog's field holds are never needed.
constexpr size_t kFileNameMaxLength = 79;

// A name a save may use: 1 to kFileNameMaxLength letters, digits, '_' and '-', so a file
// can never be hidden, nameless or outside its folder.
bool usable_save_name(const char* name);
// A name a load may use: what a file list offered, so anything but an empty name or one
// with a '/'.
bool usable_load_name(const char* name);

// folder + name + suffix into out; false, out empty, when it does not fit.
bool editor_file_path(char* out, size_t size, const char* folder, const char* name,
                      const char* suffix);
