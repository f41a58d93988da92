// The data-pack generator: writes the demo's pictures, models and music into one folder laid
// out as the demo reads it. Everything is computed from fixed seeds, so every run writes the
// same bytes.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "icon.h"
#include "models.h"
#include "music_module.h"
#include "pictures.h"

namespace {
const char* const usage =
    "Usage: demotorva-datapack OUTPUT_DIR\n"
    "       demotorva-datapack --icons DATA_DIR ICON_DIR\n"
    "Writes the demo's data pack (pictures, models and the module) into OUTPUT_DIR; with\n"
    "--icons, paints the desktop icons from the logo of the pack in DATA_DIR into ICON_DIR.\n"
    "  -h, --help     show this text\n"
    "  -V, --version  show the version\n";

bool isOption(const char* argument, const char* shortForm, const char* longForm)
{
    return std::strcmp(argument, shortForm) == 0 || std::strcmp(argument, longForm) == 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && isOption(argv[1], "-h", "--help")) return std::fputs(usage, stdout) < 0;
    if (argc == 2 && isOption(argv[1], "-V", "--version"))
        return std::printf("demotorva-datapack %s\n", DEMOTORVA_VERSION) < 0;
    if (argc == 4 && std::strcmp(argv[1], "--icons") == 0) return writeIcons(argv[2], argv[3]) ? 0 : 1;
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code error;
    std::filesystem::create_directories(out, error);
    // The folder must exist and take new files; otherwise say why, in the system's words,
    // before the first file fails.
    if (error) {
        std::fprintf(stderr, "demotorva-datapack: cannot create the folder %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    if (::access(out.c_str(), W_OK | X_OK) != 0) {
        std::fprintf(stderr, "demotorva-datapack: cannot write in %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    if (!writePictures(out.string())) return 1;
    if (!writeModels(out.string())) return 1;
    return writeMusicModule((out / "Mod_.it").string().c_str()) ? 0 : 1;
}
