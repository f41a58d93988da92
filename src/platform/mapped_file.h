// A whole file's bytes in memory for reading, got the cheapest way the system offers: a regular
// file is mapped with its pages present up front, and anything that cannot be mapped (pipes,
// special files) is read into a plain buffer.
#pragma once

#include <cstddef>

struct MappedFile {
    const char* data = nullptr;  // size bytes; not followed by a terminating 0
    size_t size = 0;
    void* mapping = nullptr;     // the file's mapping, to release
    size_t mappingSize = 0;
    char* buffer = nullptr;      // a plain buffer to release
};

// Opens path as written (no case matching) and makes its bytes available. False when it does
// not open or cannot be read (a directory, say); file is then empty.
bool openMappedFile(const char* path, MappedFile& file);
// Releases the bytes; file is empty afterwards. Harmless on an empty one.
void closeMappedFile(MappedFile& file);
