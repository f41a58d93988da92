// Data-pack generator entry (not yet drawing).
#include <cstdio>
#include <filesystem>
#include <string>

#include "music_module.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: demotorva-datapack OUTPUT_DIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    return writeMusicModule((out / "Mod_.it").string().c_str()) ? 0 : 1;
}
