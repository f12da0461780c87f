// Whole-file reads and crash-safe whole-file saves.
//
// Every file the game writes (maps, poses, settings) goes through save_file_atomically:
// the new bytes go to a temporary file in the same folder, which is then renamed over the
// old one, so a reader finds either the complete old file or the complete new one. A
// symbolic link is saved through: the file it points to is replaced and the link stays.
// A file without write permission is never replaced.
#pragma once

#include <cstddef>
#include <string>

enum ReadStatus { read_ok, read_cannot_open, read_failed };

// The error of a read refused because the path is a FIFO, a device or a folder: reading
// those could block for ever or never end.
constexpr int kErrorNotRegularFile = -1;

struct FileRead {
    ReadStatus status = read_cannot_open;
    size_t size = 0;      // bytes stored into the buffer
    bool longer = false;  // the file holds more than the buffer took
    int error = 0;        // errno of the failure (or kErrorNotRegularFile), 0 when ok
};

// Reads at most max bytes from the start of a regular file into buf. Never allocates.
FileRead read_file_prefix(const char* path, void* buf, size_t max);

// A whole regular file of at most limit bytes into text, which grows with what it reads.
// A larger file is refused (read_failed, longer set) and text is then empty.
FileRead read_whole_file(const char* path, size_t limit, std::string& text);

// What went wrong, for a message: strerror of error, or why the file was refused.
const char* file_error_text(int error);

// Replaces the file at path with size bytes of data. On failure the old file (if any)
// stays whole, no temporary file is left behind, a line on stderr says what failed,
// and the result is false.
bool save_file_atomically(const char* path, const void* data, size_t size);

// Removes the temporary files that interrupted saves of "*suffix" files left in folder
// (a save in progress elsewhere is spared: only those older than a minute go). Returns
// how many were removed.
int remove_stale_temporaries(const char* folder, const char* suffix);

// True when path (or the file its links end at) exists without write permission: its
// owner made it read-only, and save_file_atomically refuses to replace it.
bool is_read_only_file(const char* path);

// Where save_file_atomically should pretend to fail; tests use it to interrupt a save.
enum SaveFault { fault_none, fault_write, fault_flush, fault_rename };
void set_save_fault_for_testing(SaveFault fault);
