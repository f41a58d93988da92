// Drawing straight into a texture.
//
// A pass whose picture becomes a texture (the intro's landscape) can draw into the texture
// itself instead of into a corner of the frame that is then copied out: the copy, and the wait
// for the frame's drawing that it forces, are saved, and the frame's corner is never touched.
// Where the driver offers no framebuffer objects, or the texture cannot be drawn into, the
// target is not made and the caller draws into the frame and copies as before.
//
//     TextureTarget target;
//     if (createTextureTarget(target, texture, 512)) {  // at load time
//         beginTextureTarget(target);   // viewport, clears and drawing now go to the texture
//         ...draw...
//         endTextureTarget(target);     // back to the framebuffer that was bound before
//     }
#pragma once

#include "assets/tga_loader.h"

struct TextureTarget {
    unsigned int framebuffer = 0;
    unsigned int depthBuffer = 0;  // depth of the same precision as the frame's
    int size = 0;
    int previousFramebuffer = 0;   // bound before beginTextureTarget, bound again by the end
};

// Makes a framebuffer that draws into the size x size texture, which must already have its
// image. False, with nothing left made, when it cannot be drawn into.
bool createTextureTarget(TextureTarget& target, TextureId texture, int size);
void deleteTextureTarget(TextureTarget& target);
bool textureTargetReady(const TextureTarget& target);
void beginTextureTarget(TextureTarget& target);
void endTextureTarget(TextureTarget& target);
