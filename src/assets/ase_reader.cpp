// ASE reader: the entry, which runs the passes over the text in order.
//
// The whole file is brought into memory once; a first scan notes its lines and keyword
// tokens, the counting pass notes where every block starts, and each block pass starts there
// instead of rewinding and scanning from the top, so loading time is linear in the file's size.
// The passes live in files of their own: ase_counting_pass.cpp (counts and mesh sizes),
// ase_geometry_pass.cpp (materials and geometry objects), ase_lights_cameras.cpp,
// ase_animation.cpp (keys and frame tables); tokens, numbers and the line index are below them.
//
// Input is never trusted: indices outside their table are ignored, names are cut at 254
// characters, mesh sizes are bounded by their object's block, and all the model's tables
// together by a memory budget of a fixed part plus a small multiple of the file's size.
#include "assets/ase_reader.h"

#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "assets/ase_passes.h"
#include "platform/files.h"
#include "platform/mapped_file.h"

namespace {

// Frame tables are built for the first node of a kind whose name is the node's own name: the
// node itself, or an earlier node of the same name, whose tables were built at its own turn
// from the same keys, and would come out the same again; the later node gets none. Null when
// there is nothing (more) to build.
template <class Node>
AnimTrack* trackToBuild(std::unordered_map<std::string_view, size_t>& seen, std::vector<Node>& nodes, size_t i)
{
    const char* name = nodes[i].name;
    const auto found = seen.try_emplace(std::string_view(name, strnlen(name, aseNameSize)), i).first;
    return found->second == i ? &nodes[i].anim : nullptr;
}

}  // namespace

int loadAseModelWith(const char* text, size_t size, AseModel& model, const AseReadOptions& options)
{
    static const char empty[1] = {0};
    if (!text) {
        text = empty;
        size = 0;
    }
    bool cut = false;
    if (size >= ase::indexableSize) {  // far past any model; the rest is not read
        size = ase::indexableSize - 1;
        cut = true;
    }
    ase::Reader r{{text, text + size, nullptr, {}}, model, {}, {}, {}};
    r.memory.left = options.fixedBytes + aseModelBytesPerFileByte * static_cast<int64_t>(size);
    ase::LineIndex index;
    ase::scanText(r.text, options.lineIndex ? &index : nullptr);
    ase::countScene(r);
    ase::countMeshes(r);
    for (int32_t i = 0; i < model.materialCount; ++i) {
        AseMaterial& material = model.materials[static_cast<size_t>(i)];
        ase::readMaterial(r, material, i + 1);
        if (options.loadTextures) loadMaterialTexture(material, options.modelPath);
    }
    std::unordered_map<std::string_view, size_t> names;
    for (int32_t i = 0; i < model.objectCount; ++i) {
        AseObject& object = model.objects[static_cast<size_t>(i)];
        const int32_t ref = object.materialRef;
        const AseMaterial* material = ref >= 0 && ref < model.materialCount ? &model.materials[static_cast<size_t>(ref)] : nullptr;
        ase::readGeometryObject(r, object, material, i + 1);
        if (AnimTrack* track = trackToBuild(names, model.objects, static_cast<size_t>(i))) ase::buildFrameTables(r, *track);
    }
    names.clear();
    for (int32_t i = 0; i < model.lightCount; ++i) {
        ase::readLight(r, model.lights[static_cast<size_t>(i)], i + 1);
        if (AnimTrack* track = trackToBuild(names, model.lights, static_cast<size_t>(i))) ase::buildFrameTables(r, *track);
    }
    names.clear();
    for (int32_t i = 0; i < model.cameraCount; ++i) {
        ase::readCamera(r, model.cameras[static_cast<size_t>(i)], i + 1);
        if (AnimTrack* track = trackToBuild(names, model.cameras, static_cast<size_t>(i))) ase::buildFrameTables(r, *track);
    }
    return cut || r.memory.cut ? AseReadCut : AseReadWhole;
}

int loadAseModel(const char* path, AseModel& model)
{
    // The whole file in memory once: mapped where it can be, read into a buffer otherwise.
    MappedFile file;
    const std::string resolved = resolvePath(path);
    if (!openMappedFile(resolved.c_str(), file)) {
        std::printf("# %s not found!\n", path);
        std::fflush(stdout);
        noteMissingFile(resolved);
        return 0;
    }
    AseReadOptions options;
    options.modelPath = path;
    loadAseModelWith(file.data, file.size, model, options);
    closeMappedFile(file);
    return 1;
}
