// The data-pack generator: writes the demo's pictures, models and music into one folder laid
// out as the demo reads it. Everything is computed from fixed seeds, so every run writes the
// same bytes.
#include <cstdio>
#include <filesystem>
#include <string>

#include "models.h"
#include "music_module.h"
#include "pictures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: demotorva-datapack OUTPUT_DIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (!writePictures(out.string())) return 1;
    if (!writeModels(out.string())) return 1;
    return writeMusicModule((out / "Mod_.it").string().c_str()) ? 0 : 1;
}
