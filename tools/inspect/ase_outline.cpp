// Brace-structured reading of an ASE file for the inspector.
#include "ase_outline.h"

#include <cstdlib>
#include <cstring>
#include <memory>

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

struct MaterialBuild {
    OutlineMaterial material;
    std::vector<std::unique_ptr<MaterialBuild>> subs;
    OutlineMaterial finish()
    {
        for (auto& sub : subs) material.subMaterials.push_back(sub->finish());
        return material;
    }
};

struct Frame {
    std::string keyword;            // the keyword that opened the block, without '*'
    MaterialBuild* material = nullptr;  // set when the block is a material
    int node = -1;                  // index into nodes when the block is a node
};

bool isNodeKind(const std::string& k)
{
    return k == "GEOMOBJECT" || k == "LIGHTOBJECT" || k == "CAMERAOBJECT" || k == "SHAPEOBJECT" || k == "HELPEROBJECT";
}
}  // namespace

AseOutline outlineAse(const char* text, size_t size)
{
    AseOutline outline;
    std::vector<std::unique_ptr<MaterialBuild>> top;
    std::vector<Frame> stack;
    Tokens tokens{text, text + size};
    std::string token, keyword, value;
    auto nearestMaterial = [&]() -> MaterialBuild* {
        for (auto it = stack.rbegin(); it != stack.rend(); ++it)
            if (it->material) return it->material;
        return nullptr;
    };
    auto nearestNode = [&]() -> int {
        for (auto it = stack.rbegin(); it != stack.rend(); ++it)
            if (it->node >= 0) return it->node;
        return -1;
    };
    while (tokens.next(token)) {
        if (tokens.quoted) continue;
        if (token == "{") {
            Frame frame;
            frame.keyword = keyword;
            if (keyword == "MATERIAL" || keyword == "SUBMATERIAL") {
                auto build = std::make_unique<MaterialBuild>();
                frame.material = build.get();
                MaterialBuild* parent = nearestMaterial();
                (parent ? parent->subs : top).push_back(std::move(build));
            } else if (isNodeKind(keyword)) {
                outline.nodes.push_back(OutlineNode{keyword, "", 0, 0});
                frame.node = static_cast<int>(outline.nodes.size()) - 1;
            }
            stack.push_back(frame);
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
        Frame* current = stack.empty() ? nullptr : &stack.back();
        MaterialBuild* material = nearestMaterial();
        const int node = nearestNode();
        if (keyword == "MATERIAL_NAME" || keyword == "MATERIAL_CLASS" || keyword == "BITMAP" || keyword == "NODE_NAME") {
            if (!tokens.next(value) || !tokens.quoted) continue;
            if (keyword == "MATERIAL_NAME" && material && current && current->material == material)
                material->material.name = value;
            else if (keyword == "MATERIAL_CLASS" && material && current && current->material == material)
                material->material.className = value;
            else if (keyword == "BITMAP" && material)
                material->material.bitmaps.push_back(OutlineBitmap{current ? current->keyword : "", value});
            else if (keyword == "NODE_NAME" && node >= 0 && current && current->node == node &&
                     outline.nodes[static_cast<size_t>(node)].name.empty())
                outline.nodes[static_cast<size_t>(node)].name = value;
        } else if ((keyword == "MESH_NUMVERTEX" || keyword == "MESH_NUMFACES") && node >= 0) {
            if (!tokens.next(value)) continue;
            const long long count = std::strtoll(value.c_str(), nullptr, 10);
            OutlineNode& n = outline.nodes[static_cast<size_t>(node)];
            (keyword == "MESH_NUMVERTEX" ? n.vertexCount : n.faceCount) = count;
        }
    }
    for (auto& build : top) outline.materials.push_back(build->finish());
    return outline;
}
