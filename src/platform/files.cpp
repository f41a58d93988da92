// File-name stand-in: '\' separators and case-insensitive matching, one component at a time.
#include "platform/files.h"

#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {
// Names of the files that could not be opened; a file two scenes share counts once.
std::set<std::string> missingFiles;

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace

std::string resolvePath(const std::string& name)
{
    std::error_code error;
    if (name.empty() || fs::exists(name, error)) return name;
    std::string slashed = name;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    if (fs::exists(slashed, error)) return slashed;

    fs::path current = slashed[0] == '/' ? fs::path("/") : fs::path();
    size_t pos = slashed[0] == '/' ? 1 : 0;
    while (pos <= slashed.size()) {
        size_t next = slashed.find('/', pos);
        if (next == std::string::npos) next = slashed.size();
        std::string part = slashed.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty() || part == ".") continue;
        fs::path exact = current / part;
        if (part == ".." || fs::exists(exact, error)) {
            current = exact;
            continue;
        }
        fs::path dir = current.empty() ? fs::path(".") : current;
        bool found = false;
        for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
            std::string entry = it->path().filename().string();
            if (sameIgnoringCase(entry, part)) {
                current /= entry;
                found = true;
                break;
            }
        }
        if (!found) return name;
    }
    return current.string();
}

void noteMissingFile(const std::string& path) { missingFiles.insert(path); }
int missingFileCount() { return static_cast<int>(missingFiles.size()); }
