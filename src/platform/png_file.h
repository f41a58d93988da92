// PNG writing for offline rendering (libpng).
#pragma once

// Writes an RGB picture, rows given top row first, width * 3 bytes each.
bool writePngRgb(const char* path, int width, int height, const unsigned char* rows);
