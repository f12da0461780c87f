// The names of the files of one kind in a folder, for the lists that offer them, and
// which of two folders a named file is read from.
#pragma once

#include <string>
#include <vector>

// The names of the regular files (or links to them) in folder whose name ends in suffix,
// each without that suffix, sorted so every machine lists them alike. Hidden files and a
// bare suffix are left out; a folder that cannot be read gives no names.
std::vector<std::string> find_named_files(const char* folder, const char* suffix);

// Where files of one kind live: the player's folder, which saves go to, and the shipped
// one. A portable install names the same folder twice.
struct FilePlaces {
    std::string user;
    std::string shipped;
};

// The names found in either folder, once each, sorted.
std::vector<std::string> find_named_files(const FilePlaces& places, const char* suffix);

// The path of the player's file of that name when there is one, else the shipped one's;
// false, out empty, when it does not fit in size.
bool named_file_path(char* out, size_t size, const FilePlaces& places, const char* name,
                     const char* suffix);
