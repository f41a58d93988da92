// The pictures that credit the demo's makers: the intro's byline, the credits scene's two
// pages of captions and the closing text with its greetings.
#pragma once

#include <string>

#include "lettering.h"

// A role and a name on one line ("by torva"), the role in the serif and the name in the heavy
// sans, centred on a picture of width x height drawn at drawWidth x drawHeight.
Image bylinePicture(const Fonts& fonts, const char* role, const char* name, int width, int height, float drawWidth,
                    float drawHeight);
// Writes the captions and the closing text under dir/maps; false when a file cannot be written.
bool writeCreditsPictures(const std::string& dir, const Fonts& fonts);
