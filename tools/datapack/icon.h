// The desktop icon: the demo's logo from a written data pack ("maps/quibe.tga"), set on a
// rounded night-blue tile like the loading screen's ground, at the sizes desktops look for.
//
// Usage:
//     writeIcons("build/data", "build/icons");
//     // build/icons/16x16/apps/demotorva.png ... build/icons/256x256/apps/demotorva.png,
//     // laid out as share/icons/hicolor wants them
#pragma once

#include <string>

// Writes iconDir/NxN/apps/demotorva.png for each size in iconSizes. False (with a message on
// standard error) when the logo cannot be read or a file cannot be written.
bool writeIcons(const std::string& dataDir, const std::string& iconDir);

constexpr int iconSizes[] = {16, 32, 48, 64, 128, 256};
