// ASE reader: turns one ASE text export into an AseModel.
//
// A keyword scanner, not a parser of the brace structure: a counting pass sizes the tables,
// a second pass reads every object's mesh sizes and name, then each material, geometry
// object, light and camera is read from the start of its own block, and each node's keys are
// turned into per-frame tables right after it is read. Where a block ends, which keyword a
// value belongs to and how numbers convert follow the scanf conventions the format's exporters
// and the demo's data were made for. Loading time is linear in the file's size, and a model
// takes at most aseFixedModelBytes (or the options' fixedBytes) plus aseModelBytesPerFileByte
// per byte of its file.
//
//   AseModel model;
//   loadAseModel("models/star01.ase", model);         // as the scenes load their models
//
//   AseReadOptions options;                            // text already in memory, no GL
//   options.loadTextures = false;
//   if (loadAseModelWith(text, size, model, options) == AseReadCut) ...
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/ase_model.h"

// What one model's tables may take: a fixed part far above any scene's needs, plus a small
// multiple of the file's size. Tables past it are cut.
constexpr int64_t aseFixedModelBytes = int64_t(4) << 20;
constexpr int64_t aseModelBytesPerFileByte = 32;

// Reads path into model. 1 when the file was read; 0, with "# <path> not found!" on standard
// output and the model untouched, when it does not open.
int loadAseModel(const char* path, AseModel& model);

// How ASE text is read. The line index changes nothing in the results, only the time: without
// it every pass reads characters, which tests and the fuzzer compare against.
struct AseReadOptions {
    const char* modelPath = nullptr;  // where bitmaps are looked for when not found as written
    bool loadTextures = true;         // false: read everything, upload no pictures (no GL needed)
    bool lineIndex = true;
    // The fixed part of the model's memory budget. The fuzzer lowers it, so that what an input
    // costs follows its size and cut tables are met often; the demo keeps the default.
    int64_t fixedBytes = aseFixedModelBytes;
};

enum AseReadResult : int {
    AseReadWhole = 1,  // every table as the file sizes it
    AseReadCut = 2,    // some table cut to keep the model within its memory budget
};

// Reads ASE text already in memory into model; returns an AseReadResult.
int loadAseModelWith(const char* text, size_t size, AseModel& model, const AseReadOptions& options);
