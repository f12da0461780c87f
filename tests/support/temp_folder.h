// Scratch folders and working-directory changes for tests, undone when they go out of scope,
// and whole files read and written in one call.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

// The whole file's bytes; empty when it cannot be read.
inline std::string read_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces the file with exactly these bytes.
inline void write_text(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder /tmp/<prefix>XXXXXX, removed with everything in it when this ends.
// path() is empty if the folder could not be made; ok() says whether it was.
class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix) {
        std::string name = "/tmp/" + prefix + "XXXXXX";
        if (::mkdtemp(name.data()) != nullptr) path_ = name;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    // The path of name inside the folder.
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Makes folder the working directory, and the old one again when this ends.
// ok() says whether the change happened; if it did not, nothing is undone.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::filesystem::path& folder) {
        std::error_code error;
        old_ = std::filesystem::current_path(error);
        if (error) return;
        std::filesystem::current_path(folder, error);
        entered_ = !error;
    }
    ~WorkingFolder() {
        if (!entered_) return;
        std::error_code error;
        std::filesystem::current_path(old_, error);
        if (error) {
            // Every later test would run in the wrong folder, so stop here.
            std::fprintf(stderr, "cannot go back to %s: %s\n", old_.c_str(),
                         error.message().c_str());
            std::abort();
        }
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    bool ok() const { return entered_; }

  private:
    std::filesystem::path old_;
    bool entered_ = false;
};
