// ASE counting passes: the first pass counts the blocks, reads the scene header values and
// notes where every block starts; the second reads each geometry object's mesh sizes, normals
// flag, material reference and name. Together they size every table before any value is read.
//
// Sizes come from the file, so they are bounded here: a mesh table holds no more entries than
// its object's own block has room for lines (one hostile count cuts only its own object), and
// every table is taken from the model's memory budget.
#include "assets/ase_passes.h"

#include <algorithm>
#include <cstring>

#include "assets/ase_numbers.h"

namespace ase {

namespace {


// The header keyword's field, or null.
int32_t* headerField(AseModel& model, Keyword k)
{
    switch (k) {
    case KwMaterialCount: return &model.materialCount;
    case KwSceneFirstFrame: return &model.firstFrame;
    case KwSceneLastFrame: return &model.lastFrame;
    case KwSceneFrameSpeed: return &model.frameSpeed;
    case KwSceneTicksPerFrame: return &model.ticksPerFrame;
    default: return nullptr;
    }
}

struct SceneCounts {
    int32_t objects = 0, lights = 0, cameras = 0;
    ASE_SCANNER void add(Keyword k)
    {
        if (k == KwGeomObject) ++objects;
        else if (k == KwLightObject) ++lights;
        else if (k == KwCameraObject) ++cameras;
    }
};

ASE_SCANNER void noteBlockStart(Reader& r, Keyword k, const char* tokenEnd)
{
    switch (k) {
    case KwMaterial: r.starts.materials.push_back(tokenEnd); break;
    case KwGeomObject: r.starts.objects.push_back(tokenEnd); break;
    case KwLightObject: r.starts.lights.push_back(tokenEnd); break;
    case KwCameraObject: r.starts.cameras.push_back(tokenEnd); break;
    default: break;
    }
}

// Every token is looked at. The values read after the header keywords may end inside the next
// token (a number run into a keyword); the counting sees the rest of that token as its own,
// while the block starts come from the plain token sequence, as a scan from the top for the
// n-th block would see it.
ASE_SCANNER void countTokens(Reader& r, SceneCounts& counts)
{
    Cursor scan{r.text.begin, r.text.end};
    const char* countedUpTo = r.text.begin;
    Token token;
    while (readToken(scan, token)) {
        const char* tokenEnd = token.p + token.n;
        Keyword k = classify(token);
        noteBlockStart(r, k, tokenEnd);
        if (tokenEnd <= countedUpTo) continue;
        if (token.p < countedUpTo) k = classify(Token{countedUpTo, static_cast<size_t>(tokenEnd - countedUpTo)});
        countedUpTo = tokenEnd;
        counts.add(k);
        if (int32_t* field = headerField(r.model, k)) {
            Cursor values{tokenEnd, r.text.end};
            readInt(values, true, *field);
            countedUpTo = values.p;
        }
    }
}

// Whether a token whose letters after the '*' begin with a and b could be a keyword the
// counting acts on: a block start, an object kind or a header value.
ASE_SCANNER inline bool mayBeCounted(char a, char b)
{
    return (a == 'M' && b == 'A') || (a == 'G' && b == 'E') || (a == 'L' && b == 'I') ||
           (a == 'C' && b == 'A') || (a == 'S' && b == 'C');
}

// The same counting over the tokens that start with '*', the only ones it acts on. A value
// that ends inside a token leaves the rest of that token to be looked at as a token.
ASE_SCANNER void countStarTokens(Reader& r, SceneCounts& counts)
{
    const char* countedUpTo = r.text.begin;
    const IndexedLine* line = r.text.index->line.get();
    const IndexedLine* lastLine = line + r.text.index->lines;
    for (const uint32_t offset : r.text.stars) {
        const char* start = r.text.begin + offset;
        // Most of these tokens open their line: the index has their end and keyword already.
        while (line < lastLine && line[1].start <= offset) ++line;
        const char* tokenEnd = nullptr;
        Keyword k = KwNone;
        if (line->tokenStart == offset) {
            tokenEnd = r.text.begin + line->tokenEnd;
            k = static_cast<Keyword>(line->keyword);
        } else {
            // Inside a line (a face's smoothing group and material id, mostly): only a token
            // that could be one of the counted keywords is classified.
            if (r.text.end - start >= 3 && !mayBeCounted(start[1], start[2])) continue;
            tokenEnd = tokenEndFrom(start + 1, r.text.end);
            k = classify(Token{start, static_cast<size_t>(tokenEnd - start)});
        }
        noteBlockStart(r, k, tokenEnd);
        if (start < countedUpTo) continue;
        counts.add(k);
        int32_t* field = headerField(r.model, k);
        const char* at = tokenEnd;
        while (field) {
            Cursor values{at, r.text.end};
            readInt(values, true, *field);
            countedUpTo = values.p;
            field = nullptr;
            if (values.p == r.text.end || isBlank(*values.p) || isBlank(values.p[-1])) break;
            const char* restEnd = values.p;
            while (restEnd < r.text.end && !isBlank(*restEnd)) ++restEnd;
            const Keyword rest = classify(Token{values.p, static_cast<size_t>(restEnd - values.p)});
            counts.add(rest);
            field = headerField(r.model, rest);
            at = restEnd;
            countedUpTo = restEnd;
        }
    }
}

// What the mesh-size pass finds for one object, in the object's own defaults.
struct MeshSizes {
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t texVertexCount = 0;
    int32_t texFaceCount = 0;
    int32_t hasNormals = 0;
    int32_t materialRef = -1;
    char name[aseNameSize] = {};
};

// The shortest line that can fill one entry of each mesh table: its keyword and a blank.
constexpr int64_t shortestVertexLine = 13;    // "*MESH_VERTEX "
constexpr int64_t shortestFaceLine = 11;      // "*MESH_FACE "
constexpr int64_t shortestTexVertexLine = 12; // "*MESH_TVERT "

}  // namespace

void countScene(Reader& r)
{
    AseModel& model = r.model;
    model.objectCount = 0;
    model.materialCount = 0;
    model.lightCount = 0;
    model.objects.clear();
    model.materials.clear();
    model.lights.clear();
    SceneCounts counts;
    if (r.text.index) countStarTokens(r, counts);
    else countTokens(r, counts);

    // The material table is sized by the last *MATERIAL_COUNT. A negative count holds no
    // table; a count far past the blocks present is held to what could ever be referenced
    // by a file of sane size, so a stray digit cannot ask for gigabytes.
    if (model.materialCount < 0) model.materialCount = 0;
    const int32_t materialLimit = std::max<int32_t>(static_cast<int32_t>(r.starts.materials.size()), 256);
    if (model.materialCount > materialLimit) model.materialCount = materialLimit;

    // Tables in the order they are allocated; past the budget a table holds fewer records.
    model.objectCount = r.memory.grant(counts.objects, sizeof(AseObject));
    model.materialCount = r.memory.grant(model.materialCount, sizeof(AseMaterial));
    model.lightCount = r.memory.grant(counts.lights, sizeof(AseLight));
    model.cameraCount = r.memory.grant(counts.cameras, sizeof(AseCamera));
    model.objects.assign(static_cast<size_t>(model.objectCount), AseObject{});
    model.materials.assign(static_cast<size_t>(model.materialCount), AseMaterial{});
    model.lights.assign(static_cast<size_t>(model.lightCount), AseLight{});
    model.cameras.assign(static_cast<size_t>(model.cameraCount), AseCamera{});
}

void countMeshes(Reader& r)
{
    AseModel& model = r.model;
    Walk w(r.text, r.text.begin);
    Cursor& c = w.c;
    MeshSizes found, scratch;  // scratch takes the values met while no object is current
    size_t current = 0;        // objects met so far; the current one is current - 1
    constexpr uint64_t wanted = keywordBit(KwMeshNumVertex) | keywordBit(KwMeshNumFaces) |
                                keywordBit(KwMeshNumTVertex) | keywordBit(KwMeshNumTVFaces) |
                                keywordBit(KwMeshNormals) | keywordBit(KwMaterialRef) | keywordBit(KwNodeName) |
                                keywordBit(KwGeomObject);
    auto store = [&model](size_t i, const MeshSizes& sizes) {
        if (i >= model.objects.size()) return;
        AseObject& object = model.objects[i];
        object.vertexCount = sizes.vertexCount;
        object.faceCount = sizes.faceCount;
        object.texVertexCount = sizes.texVertexCount;
        object.texFaceCount = sizes.texFaceCount;
        object.hasNormals = sizes.hasNormals;
        object.materialRef = sizes.materialRef;
        std::memcpy(object.name, sizes.name, sizeof object.name);
    };
    Keyword k = KwNone;
    while (w.nextWanted(k, wanted)) {
        if (k == KwGeomObject) {
            if (current > 0) store(current - 1, found);
            found = MeshSizes{};
            ++current;
            continue;
        }
        MeshSizes& object = current == 0 ? scratch : found;
        switch (k) {
        case KwMeshNumVertex: readInt(c, false, object.vertexCount); break;
        case KwMeshNumFaces: readInt(c, false, object.faceCount); break;
        case KwMeshNumTVertex: readInt(c, false, object.texVertexCount); break;
        case KwMeshNumTVFaces: readInt(c, false, object.texFaceCount); break;
        case KwMeshNormals: object.hasNormals = 1; break;
        case KwMaterialRef: readInt(c, true, object.materialRef); break;
        case KwNodeName: readQuoted(c, object.name); break;
        default: w.skipLine(); break;
        }
    }
    if (current > 0) store(current - 1, found);

    // An object's block runs from its keyword to the next object's (or the end of the file);
    // each vertex, face and texture vertex needs a line of its own there. Counts past that
    // (or below 0) are cut, and the count always equals the size of its array.
    const std::vector<const char*>& starts = r.starts.objects;
    for (size_t i = 0; i < model.objects.size(); ++i) {
        AseObject& object = model.objects[i];
        const char* blockEnd = i + 1 < starts.size() ? starts[i + 1] : r.text.end;
        const int64_t bytes = i < starts.size() ? blockEnd - starts[i] : 0;
        object.vertexCount = std::clamp<int64_t>(object.vertexCount, 0, bytes / shortestVertexLine);
        object.faceCount = std::clamp<int64_t>(object.faceCount, 0, bytes / shortestFaceLine);
        object.texVertexCount = std::clamp<int64_t>(object.texVertexCount, 0, bytes / shortestTexVertexLine);
        object.vertexCount = r.memory.grant(object.vertexCount, sizeof(Vector3) * (object.hasNormals ? 2 : 1));
        object.faceCount = r.memory.grant(object.faceCount, sizeof(AseFace));
        object.texVertexCount = r.memory.grant(object.texVertexCount, sizeof(TexVertex));
        allocateObjectArrays(object);
    }
}

}  // namespace ase
