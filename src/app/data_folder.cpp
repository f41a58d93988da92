// Data folder lookup: the same executable runs from a build tree (data/ beside it) and from
// an install (bin/demotorva with its data in share/demotorva), and from any working directory.
#include "app/data_folder.h"

#include <cstdio>
#include <system_error>

#include "core/demo_state.h"

namespace fs = std::filesystem;

// The install's data folder relative to its program folder, set by the build from the install
// layout (bin and share/demotorva by default).
#ifndef DEMOTORVA_DATA_FROM_BIN
#define DEMOTORVA_DATA_FROM_BIN "../share/demotorva"
#endif

bool holdsDemoFiles(const fs::path& dir)
{
    std::error_code e;
    return fs::exists(dir / musicModuleFile, e) || fs::exists(dir / "maps" / "loading.tga", e);
}

std::vector<fs::path> dataFolderCandidates(const char* argv0)
{
    std::error_code e;
    std::vector<fs::path> folders{fs::current_path(e)};
    // /proc/self/exe names the real file, so a symbolic link to the program (/usr/games, a
    // folder on PATH) still finds the data installed beside the program itself.
    fs::path exe = fs::read_symlink("/proc/self/exe", e);
    if (e && argv0) exe = fs::absolute(argv0, e);
    if (!exe.empty()) {
        const fs::path bin = exe.parent_path();
        folders.push_back(bin / "data");
        folders.push_back((bin / DEMOTORVA_DATA_FROM_BIN).lexically_normal());
    }
    return folders;
}

bool chooseDataFolder(const std::string& dataDir, const char* argv0)
{
    std::error_code e;
    if (!dataDir.empty()) {
        fs::current_path(dataDir, e);
        if (e) {
            std::fprintf(stderr, "demotorva: cannot use data folder %s: %s\n", dataDir.c_str(),
                         e.message().c_str());
            return false;
        }
        return true;
    }
    for (const fs::path& folder : dataFolderCandidates(argv0)) {
        if (!holdsDemoFiles(folder)) continue;
        fs::current_path(folder, e);
        if (!e) return true;
    }
    return true;
}
