// The demo's frame drawn offscreen and shown scaled to whatever the window's drawable is.
//
// The scenes draw a frame of demoSettings' size: their viewports, the square corner the intro
// renders into and copies back, and the fades that blend over what is already drawn all assume
// the frame buffer has exactly that size. On a desktop-sized full screen or a resizable window
// the frame is therefore drawn into a framebuffer object of exactly the frame's size, kept bound for drawing and
// reading while the scenes run, and at each swap blitted onto the window's back buffer at the
// largest size that keeps the frame's shape, centred, with smooth filtering and black bars.
#pragma once

struct FrameScaler {
    unsigned framebuffer = 0;   // the offscreen frame; 0 when none exists
    unsigned colourBuffer = 0;  // RGB, 8 bits a channel, no alpha (the window has none either)
    unsigned depthBuffer = 0;   // 24-bit depth, as the window's pixel format asks
    int width = 0;              // frame size in pixels
    int height = 0;
};

extern FrameScaler frameScaler;

// Where the frame lands on an output of outputWidth x outputHeight pixels.
struct FrameRect {
    int x = 0, y = 0;           // bottom-left corner, GL window coordinates
    int width = 0, height = 0;  // 0 x 0 when the output has no area
};

// The largest rectangle of the frame's shape inside the output, centred; the leftover pixels
// of an odd margin go to the right or top bar.
FrameRect fitFrame(int frameWidth, int frameHeight, int outputWidth, int outputHeight);

// Makes the offscreen frame on the current context and binds it. False, with nothing left
// behind and the window's own buffers bound, when the driver has no framebuffer objects or
// cannot make one of this size.
bool createFrameScaler(int width, int height);
void destroyFrameScaler();
// Binds the offscreen frame for drawing and reading (glReadPixels, glCopyTexImage2D).
void bindScaledFrame();
// Fills the window's back buffer: black, and the frame scaled into fitFrame's rectangle. Leaves
// the window's own buffers bound (for the swap and for reading the picture back); the state the
// scenes set (clear colour, scissor, colour mask) is as it was.
void presentScaledFrame(int outputWidth, int outputHeight);
