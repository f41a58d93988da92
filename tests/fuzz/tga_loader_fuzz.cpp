// libFuzzer target for the TGA loader: any bytes as a picture file must give a status, never a
// read or write outside memory; a loaded picture's pixels must all be there.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "assets/tga_loader.h"

namespace {
// The loader reads from a file, so each input is written to one scratch file first.
const std::string& scratchPath()
{
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir ? dir : "/tmp") + "/demotorva-tga-fuzz-" + std::to_string(getpid()) + ".tga";
    }();
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(scratchPath().c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    TgaImage image;
    if (readTgaImage(scratchPath().c_str(), image) == TgaLoaded) {
        size_t bytes = static_cast<size_t>(image.width) * image.height * image.depth / 8;
        if (bytes + 18 > size) std::abort();  // more pixels than the file could hold
        volatile unsigned char sum = 0;
        for (size_t i = 0; i < bytes; ++i) sum = sum + image.pixels[i];
        freeTgaImage(image);
    }
    return 0;
}
