// Whole-file reads for the readers: every way a file's bytes are got (populated mapping for a
// regular file, plain read for a pipe) gives exactly the file's bytes, and what does not open
// or has no bytes is reported as such.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/mapped_file.h"

namespace {
std::string writeTemp(const std::string& name, const std::string& bytes)
{
    const std::string path = std::string(::testing::TempDir()) + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string patterned(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 4099) & 0xff);
    return bytes;
}

void expectBytes(const char* path, const std::string& bytes)
{
    MappedFile file;
    ASSERT_TRUE(openMappedFile(path, file)) << path;
    ASSERT_EQ(file.size, bytes.size());
    EXPECT_TRUE(bytes.empty() || std::memcmp(file.data, bytes.data(), bytes.size()) == 0) << path;
    closeMappedFile(file);
    EXPECT_EQ(file.data, nullptr);
    EXPECT_EQ(file.size, 0u);
}
}  // namespace

TEST(MappedFile, GivesExactlyTheFilesBytes)
{
    // Sizes around the page steps.
    for (size_t size : {size_t(1), size_t(4095), size_t(4096), size_t(4097), size_t(300000)}) {
        const std::string bytes = patterned(size);
        const std::string path = writeTemp("mapped-" + std::to_string(size), bytes);
        expectBytes(path.c_str(), bytes);
        std::remove(path.c_str());
    }
    const std::string empty = writeTemp("mapped-empty", "");
    expectBytes(empty.c_str(), "");
}

TEST(MappedFile, PipesAreReadAndFailuresReported)
{
    const std::string fifo = std::string(::testing::TempDir()) + "mapped-fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string bytes = patterned(200000);  // more than a pipe holds at once
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        std::ofstream(fifo, std::ios::binary) << bytes;
        ::_exit(0);
    }
    expectBytes(fifo.c_str(), bytes);
    std::remove(fifo.c_str());

    MappedFile file;
    EXPECT_FALSE(openMappedFile("no/such/file.bin", file));
    EXPECT_EQ(file.data, nullptr);
    EXPECT_FALSE(openMappedFile(::testing::TempDir().c_str(), file));  // a directory
    closeMappedFile(file);  // harmless on an empty one
}
