// The ASE reader's passes and the state they share: the scanned text, where every block
// starts, and the memory the model may still take.
//
// loadAseModelWith (ase_reader.cpp) runs them in order: countScene and countMeshes size the
// tables (ase_counting_pass.cpp); readMaterial and readGeometryObject read each material and
// geometry object from its own block (ase_geometry_pass.cpp); readLight and readCamera read
// lights and cameras (ase_lights_cameras.cpp); readAnimTrack and buildFrameTables read a
// node's animation and turn its keys into per-frame tables (ase_animation.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/ase_line_index.h"
#include "assets/ase_model.h"

namespace ase {

// Where each block starts: just past its "*MATERIAL", "*GEOMOBJECT", "*LIGHTOBJECT" or
// "*CAMERAOBJECT" token, in file order, which is where a scan from the top of the file for
// the n-th such token would stop.
struct BlockStarts {
    std::vector<const char*> materials;
    std::vector<const char*> objects;
    std::vector<const char*> lights;
    std::vector<const char*> cameras;
};

// The bytes a model may still take: tables past it are cut (to fewer entries), and cut says so.
struct MemoryBudget {
    int64_t left = 0;
    bool cut = false;

    // How many of count entries of entryBytes each fit; takes them from the budget.
    int32_t grant(int64_t count, size_t entryBytes)
    {
        if (count < 0) count = 0;
        const int64_t fit = left > 0 ? left / static_cast<int64_t>(entryBytes) : 0;
        if (count > fit) {
            count = fit;
            cut = true;
        }
        if (count > INT32_MAX) count = INT32_MAX;
        left -= count * static_cast<int64_t>(entryBytes);
        return static_cast<int32_t>(count);
    }
    void refund(size_t bytes) { left += static_cast<int64_t>(bytes); }
};

// For the key counts of animation blocks: over the '*' tokens in order, how many position and
// rotation keys lie before each, and the first token from each on that ends a node. Built on
// the first animation block, so any number of blocks counts in linear time.
struct KeyCounts {
    bool built = false;
    std::vector<uint32_t> positions;  // keys among stars [0, i)
    std::vector<uint32_t> rotations;
    std::vector<uint32_t> nodeEnd;    // first star index >= i whose token ends a node
};

struct Reader {
    ScanText text;
    AseModel& model;
    MemoryBudget memory;
    BlockStarts starts;
    KeyCounts keys;
};

// Where the n-th block (from 1) of a kind begins; false when the file has fewer.
inline bool blockStart(const std::vector<const char*>& starts, int n, const char*& from)
{
    if (n < 1 || static_cast<size_t>(n) > starts.size()) return false;
    from = starts[static_cast<size_t>(n - 1)];
    return true;
}

// Where the n-th block (from 1) of a kind ends at the latest: where the next block of its kind
// begins (its keyword of keywordLength characters), or null for the last one. A block walk
// stops there even when a line skip passed over that keyword, so every block is read once
// and the passes of a kind together read the file once.
inline const char* blockStop(const std::vector<const char*>& starts, int n, size_t keywordLength)
{
    if (n < 1 || static_cast<size_t>(n) >= starts.size()) return nullptr;
    return starts[static_cast<size_t>(n)] - keywordLength;
}

// Counts blocks, reads the header values, notes where every block starts and allocates the
// model's tables (within the memory budget).
void countScene(Reader& r);
// Reads every geometry object's mesh sizes, normals flag, material reference and name, bounds
// each size by what the object's own block can hold, and allocates its arrays.
void countMeshes(Reader& r);
// The n-th (from 1) block of its kind into the record; nothing when the file has fewer.
void readMaterial(Reader& r, AseMaterial& material, int n);
void readGeometryObject(Reader& r, AseObject& object, const AseMaterial* material, int n);
void readLight(Reader& r, AseLight& light, int n);
void readCamera(Reader& r, AseCamera& camera, int n);
// A *TM_ANIMATION block, the cursor just past its keyword; leaves the cursor after the last
// key it read.
void readAnimTrack(Reader& r, Cursor& c, AnimTrack& track);
// The track's per-frame tables from its keys and the model's ticksPerFrame (any tables it held
// before are replaced).
void buildFrameTables(Reader& r, AnimTrack& track);

}  // namespace ase
