// Brace-structured reading of an ASE file for the inspector.
#include "ase_outline.h"

#include <cstdlib>
#include <cstring>

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Tokens: runs of non-blank characters, or a quoted value up to its closing quote on the line.
struct Tokens {
    const char* p;
    const char* end;
    bool quoted = false;

    bool next(std::string& token)
    {
        while (p < end && isBlank(*p)) ++p;
        if (p == end) return false;
        const char* start = p;
        quoted = *p == '"';
        if (quoted) {
            ++p;
            start = p;
            while (p < end && *p != '"' && *p != '\n') ++p;
            const char* stop = p;
            if (p < end && *p == '"')
                ++p;
            else
                while (stop > start && isBlank(stop[-1])) --stop;
            token.assign(start, stop);
            return true;
        }
        while (p < end && !isBlank(*p)) ++p;
        token.assign(start, p);
        return true;
    }
};

// One open block. The nearest enclosing material and node are carried down from the block
// around it, so finding them costs nothing however deep the blocks nest.
struct Frame {
    std::string keyword;  // the keyword that opened the block, without '*'
    long long material;   // nearest enclosing material (this block's own when it is one), or -1
    long long node;       // nearest enclosing node, or -1
    bool ownsMaterial;    // the block is a material itself
    bool ownsNode;        // the block is a node itself
};

bool isNodeKind(const std::string& k)
{
    return k == "GEOMOBJECT" || k == "LIGHTOBJECT" || k == "CAMERAOBJECT" || k == "SHAPEOBJECT" || k == "HELPEROBJECT";
}
}  // namespace

AseOutline outlineAse(const char* text, size_t size)
{
    AseOutline outline;
    std::vector<Frame> stack;
    Tokens tokens{text, text + size};
    std::string token, keyword, value;
    while (tokens.next(token)) {
        if (tokens.quoted) continue;
        if (token == "{") {
            Frame frame{keyword, stack.empty() ? -1 : stack.back().material, stack.empty() ? -1 : stack.back().node,
                        false, false};
            if (keyword == "MATERIAL" || keyword == "SUBMATERIAL") {
                OutlineMaterial material;
                material.parent = frame.material;
                outline.materials.push_back(std::move(material));
                frame.material = static_cast<long long>(outline.materials.size()) - 1;
                frame.ownsMaterial = true;
            } else if (isNodeKind(keyword)) {
                outline.nodes.push_back(OutlineNode{keyword, "", 0, 0});
                frame.node = static_cast<long long>(outline.nodes.size()) - 1;
                frame.ownsNode = true;
            }
            stack.push_back(std::move(frame));
            keyword.clear();
            continue;
        }
        if (token == "}") {
            if (!stack.empty()) stack.pop_back();
            keyword.clear();
            continue;
        }
        if (token[0] != '*') continue;
        keyword = token.substr(1);
        const Frame* current = stack.empty() ? nullptr : &stack.back();
        OutlineMaterial* material =
            current && current->material >= 0 ? &outline.materials[static_cast<size_t>(current->material)] : nullptr;
        OutlineNode* node = current && current->node >= 0 ? &outline.nodes[static_cast<size_t>(current->node)] : nullptr;
        if (keyword == "MATERIAL_NAME" || keyword == "MATERIAL_CLASS" || keyword == "BITMAP" || keyword == "NODE_NAME") {
            if (!tokens.next(value) || !tokens.quoted) continue;
            if (keyword == "MATERIAL_NAME" && material && current->ownsMaterial)
                material->name = value;
            else if (keyword == "MATERIAL_CLASS" && material && current->ownsMaterial)
                material->className = value;
            else if (keyword == "BITMAP" && material)
                material->bitmaps.push_back(OutlineBitmap{current->keyword, value});
            else if (keyword == "NODE_NAME" && node && current->ownsNode && node->name.empty())
                node->name = value;
        } else if ((keyword == "MESH_NUMVERTEX" || keyword == "MESH_NUMFACES") && node) {
            if (!tokens.next(value)) continue;
            const long long count = std::strtoll(value.c_str(), nullptr, 10);
            (keyword == "MESH_NUMVERTEX" ? node->vertexCount : node->faceCount) = count;
        }
    }
    return outline;
}
