// The pictures of the data pack: the loading screen, the intro's box room, logo and credit,
// the glow, the temple's words, the words of the tunnel, the floor, the credits' captions and
// names and the closing text; the textures the models name are painted with their models.
#pragma once

#include <string>

// Writes every picture under dir/maps. False (with a message on standard error) when a font
// is missing or a file cannot be written.
bool writePictures(const std::string& dir);
