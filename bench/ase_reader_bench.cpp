// ASE loading throughput: the demo's reader against assimp's ASE import, in the same run, on
// generated scene exports of 20 MB and more (25 and 250 objects, each with its material,
// texture coordinates, normals and an animation track, plus lights and a camera). Prints each
// reader's throughput, the ratio, and the time per megabyte at N and 2N megabytes, which stays
// flat when loading is linear in the file's size.
//
//   ase_reader_bench [--megabytes N] [--repeat N] [--dir DIR] [--keep] [--no-assimp-default]
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/scene.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/ase_reader.h"

namespace {

struct Options {
    double megabytes = 20.0;
    int repeat = 3;
    bool keep = false;           // leave the generated files behind
    bool assimpDefault = true;   // also time assimp with its default normal rebuilding
    std::string dir = std::filesystem::temp_directory_path().string();
};

// A small deterministic generator, so every run reads the same files.
struct Random {
    uint32_t state = 12345;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    float unit() { return static_cast<float>(next() % 100000) / 100000.0f; }
};

void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendf(std::string& out, const char* format, ...)
{
    char line[4096];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n > 0) out.append(line, static_cast<size_t>(std::min<int>(n, static_cast<int>(sizeof line) - 1)));
}

void nodeTm(std::string& out, const char* name, float x, float y, float z)
{
    appendf(out,
            "\t*NODE_TM {\n\t\t*NODE_NAME \"%s\"\n\t\t*INHERIT_POS 0 0 0\n\t\t*INHERIT_ROT 0 0 0\n"
            "\t\t*INHERIT_SCL 0 0 0\n\t\t*TM_ROW0 1.0000\t0.0000\t0.0000\n\t\t*TM_ROW1 0.0000\t1.0000\t0.0000\n"
            "\t\t*TM_ROW2 0.0000\t0.0000\t1.0000\n\t\t*TM_ROW3 %.4f\t%.4f\t%.4f\n\t\t*TM_POS %.4f\t%.4f\t%.4f\n"
            "\t\t*TM_ROTAXIS 0.0000\t0.0000\t0.0000\n\t\t*TM_ROTANGLE 0.0000\n\t\t*TM_SCALE 1.0000\t1.0000\t1.0000\n"
            "\t\t*TM_SCALEAXIS 0.0000\t0.0000\t0.0000\n\t\t*TM_SCALEAXISANG 0.0000\n\t}\n",
            name, x, y, z, x, y, z);
}

// One object of about bytesPerObject bytes: a mesh of v vertices and 2v faces.
void geometryObject(std::string& out, int index, int materials, size_t bytesPerObject, Random& random)
{
    // A vertex costs about 700 bytes of text with its two faces, texture vertex and normals.
    const int v = std::max<int>(3, static_cast<int>(bytesPerObject / 700));
    const int f = 2 * v;
    char name[32];
    std::snprintf(name, sizeof name, "Object%03d", index);
    const float px = static_cast<float>(index % 16) * 50.0f, py = static_cast<float>(index / 16) * 50.0f;
    appendf(out, "*GEOMOBJECT {\n\t*NODE_NAME \"%s\"\n", name);
    nodeTm(out, name, px, py, 0.0f);
    appendf(out, "\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX %d\n\t\t*MESH_NUMFACES %d\n\t\t*MESH_VERTEX_LIST {\n", v, f);
    for (int i = 0; i < v; ++i)
        appendf(out, "\t\t\t*MESH_VERTEX %5d\t%.4f\t%.4f\t%.4f\n", i, px + random.unit() * 40.0f,
                py + random.unit() * 40.0f, random.unit() * 40.0f);
    out += "\t\t}\n\t\t*MESH_FACE_LIST {\n";
    std::vector<int> corners(static_cast<size_t>(f) * 3);
    for (int i = 0; i < f; ++i) {
        const int a = static_cast<int>(random.next() % static_cast<uint32_t>(v));
        const int b = (a + 1) % v, c = (a + 2) % v;
        corners[static_cast<size_t>(i) * 3] = a;
        corners[static_cast<size_t>(i) * 3 + 1] = b;
        corners[static_cast<size_t>(i) * 3 + 2] = c;
        appendf(out,
                "\t\t\t*MESH_FACE %5d:    A: %5d B: %5d C: %5d AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING %d \t*MESH_MTLID %d\n",
                i, a, b, c, 1 + i % 8, i % 3);
    }
    appendf(out, "\t\t}\n\t\t*MESH_NUMTVERTEX %d\n\t\t*MESH_TVERTLIST {\n", v);
    for (int i = 0; i < v; ++i) appendf(out, "\t\t\t*MESH_TVERT %d\t%.4f\t%.4f\t0.0000\n", i, random.unit(), random.unit());
    appendf(out, "\t\t}\n\t\t*MESH_NUMTVFACES %d\n\t\t*MESH_TFACELIST {\n", f);
    for (int i = 0; i < f; ++i)
        appendf(out, "\t\t\t*MESH_TFACE %d\t%d\t%d\t%d\n", i, corners[static_cast<size_t>(i) * 3],
                corners[static_cast<size_t>(i) * 3 + 1], corners[static_cast<size_t>(i) * 3 + 2]);
    out += "\t\t}\n\t\t*MESH_NORMALS {\n";
    for (int i = 0; i < f; ++i) {
        appendf(out, "\t\t\t*MESH_FACENORMAL %d\t0.0000\t0.0000\t1.0000\n", i);
        for (int c = 0; c < 3; ++c)
            appendf(out, "\t\t\t\t*MESH_VERTEXNORMAL %d\t%.4f\t%.4f\t%.4f\n", corners[static_cast<size_t>(i) * 3 + c],
                    random.unit(), random.unit(), 1.0f);
    }
    out += "\t\t}\n\t}\n\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n";
    appendf(out, "\t*TM_ANIMATION {\n\t\t*NODE_NAME \"%s\"\n\t\t*CONTROL_POS_TRACK {\n", name);
    for (int k = 0; k < 5; ++k)
        appendf(out, "\t\t\t*CONTROL_POS_SAMPLE %d\t%.4f\t%.4f\t%.4f\n", k * 800, px + k * 2.0f, py, k * 1.5f);
    out += "\t\t}\n\t\t*CONTROL_ROT_TRACK {\n";
    for (int k = 0; k < 5; ++k)
        appendf(out, "\t\t\t*CONTROL_ROT_SAMPLE %d\t0.0000\t0.0000\t1.0000\t%.4f\n", k * 800, k * 0.1f);
    out += "\t\t}\n\t}\n";
    appendf(out, "\t*MATERIAL_REF %d\n}\n", index % materials);
}

std::string generateAse(int objects, size_t bytes)
{
    Random random;
    std::string out;
    out.reserve(bytes + bytes / 8);
    out += "*3DSMAX_ASCIIEXPORT\t200\n*COMMENT \"AsciiExport Version  2.00 - generated\"\n*SCENE {\n"
           "\t*SCENE_FILENAME \"bench.max\"\n\t*SCENE_FIRSTFRAME 0\n\t*SCENE_LASTFRAME 100\n"
           "\t*SCENE_FRAMESPEED 30\n\t*SCENE_TICKSPERFRAME 160\n}\n";
    const int materials = std::min(objects, 25);
    appendf(out, "*MATERIAL_LIST {\n\t*MATERIAL_COUNT %d\n", materials);
    for (int m = 0; m < materials; ++m)
        appendf(out,
                "\t*MATERIAL %d {\n\t\t*MATERIAL_NAME \"Material #%d\"\n\t\t*MATERIAL_CLASS \"Standard\"\n"
                "\t\t*MATERIAL_AMBIENT 0.1000\t0.1000\t0.1000\n\t\t*MATERIAL_DIFFUSE 0.5000\t0.5000\t0.5000\n"
                "\t\t*MATERIAL_SPECULAR 0.9000\t0.9000\t0.9000\n\t\t*MATERIAL_SHINE 0.2500\n"
                "\t\t*MATERIAL_SHINESTRENGTH 0.0500\n\t\t*MATERIAL_TRANSPARENCY 0.0000\n\t\t*MATERIAL_WIRESIZE 1.0000\n"
                "\t\t*MATERIAL_SHADING Blinn\n\t\t*MATERIAL_SELFILLUM 0.0000\n\t\t*MAP_DIFFUSE {\n"
                "\t\t\t*MAP_NAME \"Map #%d\"\n\t\t\t*MAP_CLASS \"Bitmap\"\n\t\t\t*MAP_SUBNO 1\n\t\t\t*MAP_AMOUNT 1.0000\n"
                "\t\t\t*BITMAP \"no_such_dir/texture%02d.tga\"\n\t\t\t*MAP_TYPE Screen\n\t\t\t*UVW_U_OFFSET 0.0000\n"
                "\t\t\t*UVW_V_OFFSET 0.0000\n\t\t\t*UVW_U_TILING 2.0000\n\t\t\t*UVW_V_TILING 2.0000\n"
                "\t\t\t*BITMAP_FILTER Pyramidal\n\t\t}\n\t}\n",
                m, m, m, m);
    out += "}\n";
    const size_t perObject = bytes / static_cast<size_t>(objects);
    for (int i = 0; i < objects; ++i) geometryObject(out, i, materials, perObject, random);
    for (int l = 0; l < 3; ++l) {
        appendf(out, "*LIGHTOBJECT {\n\t*NODE_NAME \"Omni%02d\"\n\t*LIGHT_TYPE Omni\n", l);
        char name[16];
        std::snprintf(name, sizeof name, "Omni%02d", l);
        nodeTm(out, name, 100.0f * l, 100.0f, 200.0f);
        out += "\t*LIGHT_SETTINGS {\n\t\t*TIMEVALUE 0\n\t\t*LIGHT_COLOR 1.0000\t1.0000\t1.0000\n"
               "\t\t*LIGHT_INTENS 1.0000\n\t\t*LIGHT_HOTSPOT 43.0000\n\t\t*LIGHT_FALLOFF 45.0000\n\t}\n}\n";
    }
    out += "*CAMERAOBJECT {\n\t*NODE_NAME \"Camera01\"\n\t*CAMERA_TYPE Target\n";
    nodeTm(out, "Camera01", 0.0f, -300.0f, 100.0f);
    nodeTm(out, "Camera01.Target", 0.0f, 0.0f, 0.0f);
    out += "\t*CAMERA_SETTINGS {\n\t\t*TIMEVALUE 0\n\t\t*CAMERA_NEAR 1.0000\n\t\t*CAMERA_FAR 5000.0000\n"
           "\t\t*CAMERA_FOV 0.7854\n\t\t*CAMERA_TDIST 316.2278\n\t}\n}\n";
    return out;
}

using Clock = std::chrono::steady_clock;

double secondsOf(const auto& load)
{
    const auto start = Clock::now();
    load();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Result {
    double megabytes = 0;
    double ours = 1e30, oursInMemory = 1e30, theirs = 1e30, theirsDefault = 1e30;  // best seconds
    long long faces = 0, theirFaces = 0;
};

// One assimp import of path, counting its faces. rebuildNormals true is assimp's default,
// which throws away the file's normals and computes them again from the smoothing groups:
// work the demo's reader does not do, so the comparison uses the import that keeps them.
long long assimpImport(const std::string& path, bool rebuildNormals)
{
    Assimp::Importer importer;
    importer.SetPropertyBool(AI_CONFIG_IMPORT_ASE_RECONSTRUCT_NORMALS, rebuildNormals);
    const aiScene* scene = importer.ReadFile(path, 0);  // no post-processing steps
    long long faces = 0;
    if (scene)
        for (unsigned i = 0; i < scene->mNumMeshes; ++i) faces += scene->mMeshes[i]->mNumFaces;
    else
        std::fprintf(stderr, "assimp: %s\n", importer.GetErrorString());
    return faces;
}

// Every reader reads the same file (warm in the page cache after it was written), in turn
// within each round, so a change in the machine's load falls on all of them alike; each
// keeps its best round.
Result measure(const Options& options, int objects, double megabytes)
{
    const std::string path = options.dir + "/demotorva-bench-" + std::to_string(objects) + "-" +
                             std::to_string(static_cast<int>(megabytes)) + ".ase";
    const std::string text = generateAse(objects, static_cast<size_t>(megabytes * 1e6));
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    Result result;
    result.megabytes = static_cast<double>(text.size()) / 1e6;
    for (int round = 0; round < options.repeat; ++round) {
        result.ours = std::min(result.ours, secondsOf([&] {
            AseModel model;
            loadAseModel(path.c_str(), model);
            result.faces = 0;
            for (const AseObject& o : model.objects) result.faces += o.faceCount;
        }));
        // The same text already in memory: the reader's own share, without reading the file.
        result.oursInMemory = std::min(result.oursInMemory, secondsOf([&] {
            AseModel model;
            AseReadOptions read;
            read.modelPath = path.c_str();
            loadAseModelWith(text.data(), text.size(), model, read);
        }));
        result.theirs = std::min(result.theirs, secondsOf([&] { result.theirFaces = assimpImport(path, false); }));
        if (options.assimpDefault)
            result.theirsDefault = std::min(result.theirsDefault, secondsOf([&] { assimpImport(path, true); }));
    }
    if (!options.keep) std::remove(path.c_str());
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0) options.keep = true;
        else if (std::strcmp(argv[i], "--no-assimp-default") == 0) options.assimpDefault = false;
        else if (i + 1 < argc && std::strcmp(argv[i], "--megabytes") == 0) options.megabytes = std::atof(argv[++i]);
        else if (i + 1 < argc && std::strcmp(argv[i], "--repeat") == 0) options.repeat = std::max(1, std::atoi(argv[++i]));
        else if (i + 1 < argc && std::strcmp(argv[i], "--dir") == 0) options.dir = argv[++i];
    }
    std::printf("ASE loading, best of %d rounds. ours: loadAseModel from the file; assimp: ReadFile with no\n"
                "post-processing, keeping the file's normals%s\n\n",
                options.repeat, options.assimpDefault ? "; assimp default: rebuilding them (its default)" : "");
    std::printf("%8s %7s %9s %10s %10s %8s %10s %10s %8s\n", "objects", "MB", "faces", "ours MB/s", "ms/MB",
                "in mem", "assimp", "default", "ratio");
    double worstRatio = 1e30, worstDefault = 1e30;
    for (double megabytes : {options.megabytes, 2 * options.megabytes})
        for (int objects : {25, 250}) {
            const Result r = measure(options, objects, megabytes);
            const double ratio = r.theirs / r.ours;
            worstRatio = std::min(worstRatio, ratio);
            if (options.assimpDefault) worstDefault = std::min(worstDefault, r.theirsDefault / r.ours);
            if (r.faces != r.theirFaces)
                std::printf("faces differ: ours %lld, assimp %lld\n", r.faces, r.theirFaces);
            char fallback[16] = "-";
            if (options.assimpDefault) std::snprintf(fallback, sizeof fallback, "%.1f", r.megabytes / r.theirsDefault);
            std::printf("%8d %7.1f %9lld %10.1f %10.3f %8.1f %10.1f %10s %7.2fx\n", objects, r.megabytes, r.faces,
                        r.megabytes / r.ours, 1000.0 * r.ours / r.megabytes, r.megabytes / r.oursInMemory,
                        r.megabytes / r.theirs, fallback, ratio);
        }
    std::printf("\nthroughput ratio (worst case): %.2fx assimp", worstRatio);
    if (options.assimpDefault) std::printf(" (%.2fx assimp with its default normals)", worstDefault);
    std::printf("\nms/MB stays flat from %.0f to %.0f MB when loading is linear in the file's size\n",
                options.megabytes, 2 * options.megabytes);
    return 0;
}
