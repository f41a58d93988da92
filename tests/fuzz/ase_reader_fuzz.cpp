// libFuzzer target for the ASE reader: any bytes as a model file must load without a read or
// write outside memory, give tables exactly as long as their counts, stay within the model's
// memory budget, and give the same model whether the passes step through the line index or
// read every character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/ase_reader.h"
#include "ase_model_compare.h"

namespace {
// The fixed part of the budget the fuzzer reads under: small, so that an input's cost follows
// its size and the cut tables are met often.
constexpr int64_t fuzzFixedBytes = 16 << 10;

void check(bool condition)
{
    if (!condition) std::abort();
}

template <class T>
size_t bytesOf(const std::vector<T>& table)
{
    return table.size() * sizeof(T);
}

size_t trackBytes(const AnimTrack& t)
{
    return bytesOf(t.posKeys) + bytesOf(t.rotKeys) + bytesOf(t.posFrames) + bytesOf(t.rotFrames);
}

// Everything the model's tables hold, against its budget for a file of size bytes.
void checkBudget(const AseModel& model, size_t size)
{
    size_t bytes = bytesOf(model.objects) + bytesOf(model.materials) + bytesOf(model.lights) + bytesOf(model.cameras);
    for (const AseObject& o : model.objects)
        bytes += bytesOf(o.vertices) + bytesOf(o.texVertices) + bytesOf(o.vertexNormals) + bytesOf(o.faces) +
                 trackBytes(o.anim);
    for (const AseLight& l : model.lights) bytes += trackBytes(l.anim);
    for (const AseCamera& c : model.cameras) bytes += trackBytes(c.anim);
    check(bytes <= static_cast<size_t>(fuzzFixedBytes + aseModelBytesPerFileByte * static_cast<int64_t>(size)));
}

void checkTables(const AseModel& model)
{
    check(model.objects.size() == static_cast<size_t>(model.objectCount));
    check(model.materials.size() == static_cast<size_t>(model.materialCount));
    check(model.lights.size() == static_cast<size_t>(model.lightCount));
    check(model.cameras.size() == static_cast<size_t>(model.cameraCount));
    for (const AseObject& o : model.objects) {
        check(o.vertices.size() == static_cast<size_t>(o.vertexCount));
        check(o.faces.size() == static_cast<size_t>(o.faceCount));
        check(o.texVertices.size() == static_cast<size_t>(o.texVertexCount));
        check(o.vertexNormals.size() == (o.hasNormals ? o.vertices.size() : 0));
        check(o.anim.posKeys.size() == static_cast<size_t>(o.anim.posKeyCount));
        check(o.anim.rotKeys.size() == static_cast<size_t>(o.anim.rotKeyCount));
        check(o.name[aseNameSize - 1] == '\0');
    }
    for (const AseMaterial& m : model.materials) check(m.bitmap[aseNameSize - 1] == '\0' && m.name[aseNameSize - 1] == '\0');
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    AseReadOptions options;
    options.loadTextures = false;
    options.fixedBytes = fuzzFixedBytes;
    AseModel indexed;
    loadAseModelWith(text, size, indexed, options);
    checkTables(indexed);
    checkBudget(indexed, size);
    options.lineIndex = false;
    AseModel plain;
    loadAseModelWith(text, size, plain, options);
    if (!ase_compare::difference(indexed, plain).empty()) std::abort();
    releaseAseModel(indexed);
    return 0;
}
