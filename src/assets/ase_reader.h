// ASE reader: turns one ASE text export into an AseModel.
//
// A keyword scanner, not a parser of the brace structure: a counting pass sizes the tables,
// a second pass reads every object's mesh sizes and name, then each material, geometry
// object, light and camera is read from the start of its own block. Where a block ends, which
// keyword a value belongs to and how numbers convert follow the scanf conventions the format's
// exporters and the demo's data were made for; the whole file is brought into memory once
// (mapped where it can be) and every block's start is found in the counting pass, so loading
// time is linear in the size.
#pragma once

#include <cstddef>

#include "assets/ase_model.h"

// Reads path into model. 1 when the file was read; 0, with "# <path> not found!" on standard
// output and the model untouched, when it does not open.
int loadAseModel(const char* path, AseModel& model);

// How ASE text is read. The line index changes nothing in the results, only the time: without
// it every pass reads characters, which tests and the fuzzer compare against.
struct AseReadOptions {
    const char* modelPath = nullptr;  // where bitmaps are looked for when not found as written
    bool loadTextures = true;         // false: read everything, upload no pictures
    bool lineIndex = true;
    int threads = 0;  // geometry objects read side by side: 0 chosen from the size and machine
};
int loadAseModelWith(const char* text, size_t size, AseModel& model, const AseReadOptions& options);

// Reads ASE text already in memory. modelPath (may be null) is where bitmaps are looked for
// when they do not resolve as written; loadTextures false reads everything but uploads no
// pictures (no GL context needed). Returns 1.
int loadAseModelFromText(const char* text, size_t size, AseModel& model, const char* modelPath,
                         bool loadTextures);

// Node kinds of resampleTracks.
enum AseNodeKind : int {
    AseNodeCamera = 0,
    AseNodeObject = 1,
    AseNodeLight = 2,
};

// Builds the per-frame tables of the first node of kind whose name equals name, from its keys
// and the model's ticksPerFrame. A track whose keys the frame walk cannot follow (one key, a
// first key after time 0, two keys in one frame, ticksPerFrame 0 or below) holds its first
// key's value in every entry.
void resampleTracks(AseModel& model, const char* name, int kind);
