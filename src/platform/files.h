// File names as the demo writes them: '\' or '/' separators, any letter case.
#pragma once

#include <string>

// The path to open for name: name itself when it exists as written; otherwise the path found
// with '\' read as a separator and each component matched case-insensitively; otherwise name.
std::string resolvePath(const std::string& name);
// A tally of the demo's files that could not be opened, kept by the readers as they fail, so
// the program can say in one line how much of its data is missing. Each path (as resolvePath
// gave it) counts once.
void noteMissingFile(const std::string& path);
int missingFileCount();
