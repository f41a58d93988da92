// PNG writing for offline rendering and the asset inspector (libpng).
#pragma once

// Writes an RGB (channels 3) or RGBA (channels 4) picture, rows given top row first, width *
// channels bytes each. On false errno holds the system's reason (ENOSPC for a full disk).
bool writePng(const char* path, int width, int height, int channels, const unsigned char* rows);
inline bool writePngRgb(const char* path, int width, int height, const unsigned char* rows)
{
    return writePng(path, width, height, 3, rows);
}
