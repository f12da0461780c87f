// The names of the files of one kind in a folder, for the lists that offer them.
#pragma once

#include <string>
#include <vector>

// The names of the regular files (or links to them) in folder whose name ends in suffix,
// each without that suffix, sorted so every machine lists them alike. Hidden files and a
// bare suffix are left out; a folder that cannot be read gives no names.
std::vector<std::string> find_named_files(const char* folder, const char* suffix);
