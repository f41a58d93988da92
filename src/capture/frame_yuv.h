// A read-back frame turned into the video encoder's own picture format.
//
// x264 codes 4:2:0 pictures: brightness at every pixel, the two colour differences at one per
// 2 x 2 block. Converting here, in the frame writer's thread, costs less processor time than
// ffmpeg's general converter (a 20 s recording took 10 % less in all) and sends the encoder 1.5
// bytes a pixel through the pipe instead of 4; the rows are turned upright on the way.
//
//     std::vector<unsigned char> yuv;
//     bgraToI420(pixels, 800, 600, yuv);   // pixels: OpenGL's rows, bottom first
//     write(pipe, yuv.data(), yuv.size()); // ffmpeg -f rawvideo -pix_fmt yuv420p
#pragma once

#include <vector>

// BT.601 at video range (luma 16 to 235, chroma 16 to 240), as ffmpeg converts by default; each
// block's colour is that of its four pixels' mean. Width and height must be even.
void bgraToI420(const unsigned char* bottomUpBgra, int width, int height, std::vector<unsigned char>& yuv);
