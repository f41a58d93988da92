// The brace structure of an ASE file, read the way structure-aware readers read it: every
// material with its own name, class, bitmaps and sub-materials, and every node block with its
// own name and mesh sizes. The demo's reader is a keyword scanner whose records can differ
// (a node named by a later block, a material overwritten by its sub-materials); printing both
// shows a data author where they part.
//
// Materials are one flat list in file order, each naming its parent, so any depth of nested
// sub-materials is read in one linear pass with no recursion.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct OutlineBitmap {
    std::string map;   // the map block it sits in, such as "MAP_DIFFUSE"
    std::string path;  // as written, quotes removed
};

struct OutlineMaterial {
    std::string name;
    std::string className;
    std::vector<OutlineBitmap> bitmaps;
    long long parent = -1;  // index of the material it is a sub-material of; -1 at the top
};

struct OutlineNode {
    std::string kind;  // "GEOMOBJECT", "LIGHTOBJECT", "CAMERAOBJECT", "SHAPEOBJECT", "HELPEROBJECT"
    std::string name;  // its first *NODE_NAME
    long long vertexCount = 0;
    long long faceCount = 0;
};

struct AseOutline {
    std::vector<OutlineMaterial> materials;  // every *MATERIAL and *SUBMATERIAL block, in file order
    std::vector<OutlineNode> nodes;
};

AseOutline outlineAse(const char* text, size_t size);
