// File name resolution (not yet matching case).
#include "platform/files.h"

std::string resolvePath(const std::string& name) { return name; }
