// File bytes for readers. Regular files are mapped read-only and populated up front; a plain
// read into a growing buffer covers the rest. An empty file gives an empty result.
#include "platform/mapped_file.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads the whole descriptor into a growing buffer.
bool readAll(int fd, size_t sizeHint, MappedFile& file)
{
    size_t capacity = sizeHint > 0 ? sizeHint + 1 : size_t(1) << 16;
    char* buffer = static_cast<char*>(std::malloc(capacity));
    if (!buffer) return false;
    size_t size = 0;
    for (;;) {
        if (size == capacity) {
            char* larger = static_cast<char*>(std::realloc(buffer, capacity * 2));
            if (!larger) {
                std::free(buffer);
                return false;
            }
            buffer = larger;
            capacity *= 2;
        }
        const ssize_t got = ::read(fd, buffer + size, capacity - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            std::free(buffer);
            return false;
        }
        if (got == 0) break;
        size += static_cast<size_t>(got);
    }
    file.buffer = buffer;
    file.data = buffer;
    file.size = size;
    return true;
}

bool mapWhole(int fd, size_t size, MappedFile& file)
{
    int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
    flags |= MAP_POPULATE;
#endif
    void* mapping = ::mmap(nullptr, size, PROT_READ, flags, fd, 0);
    if (mapping == MAP_FAILED) return false;
    file.mapping = mapping;
    file.mappingSize = size;
    file.data = static_cast<const char*>(mapping);
    file.size = size;
    return true;
}

}  // namespace

bool openMappedFile(const char* path, MappedFile& file)
{
    file = MappedFile{};
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    bool ok = false;
    if (known && S_ISDIR(info.st_mode)) {
        ok = false;  // opens, but has no bytes to read
    } else if (known && S_ISREG(info.st_mode) && info.st_size > 0) {
        const size_t size = static_cast<size_t>(info.st_size);
        ok = mapWhole(fd, size, file);
        if (!ok && ::lseek(fd, 0, SEEK_SET) == 0) ok = readAll(fd, size, file);
    } else {
        ok = readAll(fd, 0, file);
    }
    ::close(fd);
    if (!ok) file = MappedFile{};
    return ok;
}

void closeMappedFile(MappedFile& file)
{
    if (file.mapping) ::munmap(file.mapping, file.mappingSize);
    std::free(file.buffer);
    file = MappedFile{};
}
