#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

SaveFault g_fault = fault_none;

constexpr char kTemporaryMark[] = ".tmp-";
constexpr size_t kTemporaryRandomLength = 6;  // mkstemp's XXXXXX
constexpr time_t kStaleTemporaryAge = 60;     // seconds; a save takes milliseconds

// As the kernel's own limit on links followed while opening a path.
constexpr int kMaxLinkHops = 40;

bool write_all(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string folder_of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes the rename itself survive a power cut; failure here loses nothing.
void sync_folder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The file a chain of symbolic links ends at, so that a save replaces it and keeps the
// links; the path itself when it is no link. False for a loop or an unreadable link.
bool follow_links(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<size_t>(n) == sizeof link) return false;
        const std::string next(link, static_cast<size_t>(n));
        target = next[0] == '/' ? next : folder_of(target) + "/" + next;
    }
    errno = ELOOP;
    return false;
}

bool fail(const char* path, const char* step, int err, int fd, const std::string& tmp) {
    if (fd >= 0) ::close(fd);
    if (!tmp.empty()) ::unlink(tmp.c_str());
    std::fprintf(stderr, "torvi: could not save %s (%s: %s); the file on disk is unchanged\n", path,
                 step, std::strerror(err));
    return false;
}

}  // namespace

// Kept as it is even where the folder would let a rename replace it, and for root, whom
// the permission bits do not stop.
bool is_read_only_file(const char* path) {
    struct stat st;
    if (::stat(path, &st) != 0) return false;  // a new file
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path, W_OK) != 0;
}

void set_save_fault_for_testing(SaveFault fault) {
    g_fault = fault;
}

FileRead read_file_prefix(const char* path, void* buf, size_t max) {
    FileRead r;
    // Non-blocking, so that opening a FIFO returns at once; fstat then refuses it.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        r.status = read_cannot_open;
        r.error = errno;
        return r;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        r.status = read_cannot_open;
        r.error = kErrorNotRegularFile;
        return r;
    }
    unsigned char* out = static_cast<unsigned char*>(buf);
    r.status = read_ok;
    while (r.size < max) {
        const ssize_t n = ::read(fd, out + r.size, max - r.size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            r.status = read_failed;  // a folder, or a failing disk
            r.error = errno;
            break;
        }
        if (n == 0) break;
        r.size += static_cast<size_t>(n);
    }
    if (r.status == read_ok && r.size == max) {
        unsigned char extra;
        ssize_t n;
        do n = ::read(fd, &extra, 1);
        while (n < 0 && errno == EINTR);
        r.longer = n > 0;
    }
    ::close(fd);
    return r;
}

FileRead read_whole_file(const char* path, size_t limit, std::string& text) {
    constexpr size_t kFirstReadSize = 4096;
    for (size_t capacity = std::min(kFirstReadSize, limit);;
         capacity = std::min(capacity * 4, limit)) {
        text.resize(capacity);
        FileRead read = read_file_prefix(path, &text[0], capacity);
        text.resize(read.size);
        if (read.status != read_ok || !read.longer) return read;
        if (capacity == limit) {
            text.clear();
            read.status = read_failed;
            return read;
        }
    }
}

const char* file_error_text(int error) {
    return error == kErrorNotRegularFile ? "not a regular file" : std::strerror(error);
}

namespace {

// "<name><suffix>.tmp-XXXXXX", as save_file_atomically names its temporary files.
bool is_temporary_of(const std::string& name, const std::string& suffix) {
    const std::string mark = suffix + kTemporaryMark;
    const size_t tail = mark.size() + kTemporaryRandomLength;
    if (name.size() <= tail || name.compare(name.size() - tail, mark.size(), mark) != 0) {
        return false;
    }
    return std::all_of(name.end() - kTemporaryRandomLength, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

}  // namespace

int remove_stale_temporaries(const char* folder, const char* suffix) {
    DIR* dir = ::opendir(folder);
    if (!dir) return 0;
    const time_t now = ::time(nullptr);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!is_temporary_of(entry->d_name, suffix)) continue;
        const std::string path = std::string(folder) + "/" + entry->d_name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (now - st.st_mtime < kStaleTemporaryAge) continue;
        removed += ::unlink(path.c_str()) == 0;
    }
    ::closedir(dir);
    return removed;
}

bool save_file_atomically(const char* path, const void* data, size_t size) {
    std::string target;
    if (!follow_links(path, target)) return fail(path, "follow link", errno, -1, std::string());
    if (is_read_only_file(target.c_str())) {
        std::fprintf(stderr,
                     "torvi: %s is read-only and was not saved; the file on disk is unchanged\n",
                     path);
        return false;
    }
    std::string tmp = target + kTemporaryMark + std::string(kTemporaryRandomLength, 'X');
    const int fd = ::mkstemp(&tmp[0]);
    if (fd < 0) return fail(path, "create", errno, -1, std::string());

    // Keep the permissions of the file being replaced; a new file gets the usual 0644.
    struct stat old_stat;
    const mode_t mode =
        (::stat(target.c_str(), &old_stat) == 0) ? (old_stat.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);

    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    if (g_fault == fault_write) {
        write_all(fd, bytes, size / 2);
        return fail(path, "write", EIO, fd, tmp);
    }
    if (!write_all(fd, bytes, size)) return fail(path, "write", errno, fd, tmp);
    if (g_fault == fault_flush) return fail(path, "flush", EIO, fd, tmp);
    if (::fsync(fd) != 0) return fail(path, "flush", errno, fd, tmp);
    if (::close(fd) != 0) return fail(path, "close", errno, -1, tmp);
    if (g_fault == fault_rename) return fail(path, "rename", EIO, -1, tmp);
    if (::rename(tmp.c_str(), target.c_str()) != 0) return fail(path, "rename", errno, -1, tmp);
    sync_folder(folder_of(target));
    return true;
}
