// File names as the demo writes them: '\' or '/' separators, any letter case.
#pragma once

#include <string>

// The path to open for name: name itself when it exists as written; otherwise the path found
// with '\' read as a separator and each component matched case-insensitively; otherwise name.
std::string resolvePath(const std::string& name);
