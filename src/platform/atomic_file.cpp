#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

SaveFault g_fault = fault_none;

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

bool fail(const char* path, const char* step, int err, int fd, const std::string& tmp) {
    if (fd >= 0) ::close(fd);
    if (!tmp.empty()) ::unlink(tmp.c_str());
    std::fprintf(stderr, "torvi: could not save %s (%s: %s); the file on disk is unchanged\n", path,
                 step, std::strerror(err));
    return false;
}

}  // namespace

void set_save_fault_for_testing(SaveFault fault) {
    g_fault = fault;
}

FileRead read_file_prefix(const char* path, void* buf, size_t max) {
    FileRead r;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        r.status = read_cannot_open;
        r.error = errno;
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

bool save_file_atomically(const char* path, const void* data, size_t size) {
    const std::string target(path);
    std::string tmp = target + ".tmp-XXXXXX";
    const int fd = ::mkstemp(&tmp[0]);
    if (fd < 0) return fail(path, "create", errno, -1, std::string());

    // Keep the permissions of the file being replaced; a new file gets the usual 0644.
    struct stat old_stat;
    const mode_t mode = (::stat(path, &old_stat) == 0) ? (old_stat.st_mode & 07777) : 0644;
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
    if (::rename(tmp.c_str(), path) != 0) return fail(path, "rename", errno, -1, tmp);
    sync_folder(folder_of(target));
    return true;
}
