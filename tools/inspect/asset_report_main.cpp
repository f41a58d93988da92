// demotorva-inspect: what the demo's own readers make of a data file, as JSON.
//
//   demotorva-inspect ase FILE             header values, counts, objects, materials, lights, cameras
//   demotorva-inspect tga FILE [--png OUT] loader status and size; with --png, the picture as the
//                                          loader uploaded it, read back from GL under an
//                                          offscreen context
//
// The ASE summary comes from the reader itself (no picture is uploaded), so it shows exactly
// what the demo would draw: names as stored, texture coordinates after tiling, bounding boxes
// in the renderer's axes, frame-table sizes, and whether tables were cut to the model's memory
// budget. Exit status 0 when the file was read, 1 with a one-line message on standard error
// when it cannot be or is not what was asked for (an ASE command on a file that is not ASE
// text, a TGA command on a file that is not a TGA picture; the summary is still printed), 2
// for a usage error (a line saying what was wrong, then the usage).
#include <GL/gl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "ase_outline.h"
#include "assets/ase_reader.h"
#include "assets/ase_tokens.h"
#include "assets/tga_loader.h"
#include "json_writer.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/mapped_file.h"
#include "platform/png_file.h"

namespace {

const char* usage =
    "Usage: demotorva-inspect ase FILE\n"
    "       demotorva-inspect tga FILE [--png OUT]\n"
    "Prints what the demo's readers make of an ASE model or a TGA picture, as JSON; --png\n"
    "writes the picture as the loader uploaded it.\n"
    "  -h, --help     show this text\n"
    "  -V, --version  show the version\n";

// Why a file cannot be read, in the system's words ("No such file or directory"), asked again
// of the system right after the reader gave up on it.
std::string unreadableReason(const char* path)
{
    const std::string resolved = resolvePath(path);
    std::error_code e;
    if (std::filesystem::is_directory(resolved, e)) return "it is a folder";
    std::FILE* file = std::fopen(resolved.c_str(), "rb");
    if (!file) return std::strerror(errno);
    std::fclose(file);
    return "it cannot be read to its end";
}

void trackSummary(JsonWriter& json, const AnimTrack& track)
{
    jsonInt(json, "posKeyCount", track.posKeyCount);
    jsonInt(json, "rotKeyCount", track.rotKeyCount);
    jsonInt(json, "posFrames", static_cast<long long>(track.posFrames.size()));
    jsonInt(json, "rotFrames", static_cast<long long>(track.rotFrames.size()));
}

void objectSummary(JsonWriter& json, const AseObject& o, const OutlineNode* node)
{
    jsonBeginObject(json);
    jsonString(json, "name", o.name);
    // The block's own name, as structure-aware readers name the object.
    if (node) jsonString(json, "nodeName", node->name.c_str());
    else jsonNull(json, "nodeName");
    jsonInt(json, "vertexCount", o.vertexCount);
    jsonInt(json, "faceCount", o.faceCount);
    jsonInt(json, "texVertexCount", o.texVertexCount);
    jsonInt(json, "texFaceCount", o.texFaceCount);
    jsonBool(json, "hasNormals", o.hasNormals != 0);
    jsonInt(json, "materialRef", o.materialRef);
    if (o.vertices.empty()) {
        jsonNull(json, "bounds");
    } else {
        float low[3] = {o.vertices[0].x, o.vertices[0].y, o.vertices[0].z};
        float high[3] = {low[0], low[1], low[2]};
        for (const Vector3& v : o.vertices) {
            const float p[3] = {v.x, v.y, v.z};
            for (int a = 0; a < 3; ++a) {
                low[a] = std::min(low[a], p[a]);
                high[a] = std::max(high[a], p[a]);
            }
        }
        jsonBeginObject(json, "bounds");
        jsonReals(json, "min", low, 3);
        jsonReals(json, "max", high, 3);
        jsonEndObject(json);
    }
    jsonReals(json, "pivot", o.pivot, 3);
    jsonReals(json, "wireColor", o.wireColor, 3);
    trackSummary(json, o.anim);
    jsonEndObject(json);
}

void materialSummary(JsonWriter& json, const AseMaterial& m, const char* modelPath)
{
    jsonBeginObject(json);
    jsonString(json, "name", m.name);
    jsonString(json, "class", m.className);
    jsonString(json, "bitmap", m.bitmap);
    jsonBool(json, "hasBitmap", m.hasBitmap != 0);
    if (m.bitmap[0] != '\0') {
        // Where the demo would open the picture, and whether it is there.
        const std::string resolved = resolvePath(resolveBitmapPath(m.bitmap, modelPath));
        std::error_code error;
        jsonString(json, "bitmapPath", resolved.c_str());
        jsonBool(json, "bitmapFound", std::filesystem::is_regular_file(resolved, error));
    }
    jsonReal(json, "uTiling", m.uTiling);
    jsonReal(json, "vTiling", m.vTiling);
    jsonReal(json, "uOffset", m.uOffset);
    jsonReal(json, "vOffset", m.vOffset);
    jsonReals(json, "ambient", m.ambient, 3);
    jsonReals(json, "diffuse", m.diffuse, 3);
    jsonReals(json, "specular", m.specular, 3);
    jsonReal(json, "shine", m.shine);
    jsonReal(json, "shineStrength", m.shineStrength);
    jsonReal(json, "transparency", m.transparency);
    jsonReal(json, "wireSize", m.wireSize);
    jsonReal(json, "selfIllum", m.selfIllum);
    jsonEndObject(json);
}

void lightSummary(JsonWriter& json, const AseLight& l)
{
    jsonBeginObject(json);
    jsonString(json, "name", l.name);
    jsonBool(json, "hasTarget", l.hasTarget != 0);
    jsonReals(json, "position", l.position, 4);
    jsonReals(json, "target", l.target, 3);
    jsonReals(json, "color", l.color, 4);
    jsonReal(json, "intensity", l.intensity);
    jsonReal(json, "falloff", l.falloff);
    trackSummary(json, l.anim);
    jsonEndObject(json);
}

void cameraSummary(JsonWriter& json, const AseCamera& c)
{
    jsonBeginObject(json);
    jsonString(json, "name", c.name);
    jsonReals(json, "position", c.position, 3);
    jsonReals(json, "target", c.target, 3);
    jsonReals(json, "rotAxis", c.rotAxis, 3);
    jsonReal(json, "nearPlane", c.nearPlane);
    jsonReal(json, "farPlane", c.farPlane);
    jsonReal(json, "fov", c.fov);
    jsonReal(json, "targetDistance", c.targetDistance);
    trackSummary(json, c.anim);
    jsonEndObject(json);
}

// The file's structure as brace-aware readers see it.
void outlineSummary(JsonWriter& json, const AseOutline& outline)
{
    jsonBeginObject(json, "outline");
    jsonBeginArray(json, "materials");
    for (const OutlineMaterial& m : outline.materials) {
        jsonBeginObject(json);
        jsonString(json, "name", m.name.c_str());
        jsonString(json, "class", m.className.c_str());
        jsonInt(json, "parent", m.parent);
        jsonBeginArray(json, "bitmaps");
        for (const OutlineBitmap& b : m.bitmaps) {
            jsonBeginObject(json);
            jsonString(json, "map", b.map.c_str());
            jsonString(json, "path", b.path.c_str());
            jsonEndObject(json);
        }
        jsonEndArray(json);
        jsonEndObject(json);
    }
    jsonEndArray(json);
    jsonBeginArray(json, "nodes");
    for (const OutlineNode& node : outline.nodes) {
        jsonBeginObject(json);
        jsonString(json, "kind", node.kind.c_str());
        jsonString(json, "name", node.name.c_str());
        jsonInt(json, "vertexCount", node.vertexCount);
        jsonInt(json, "faceCount", node.faceCount);
        jsonEndObject(json);
    }
    jsonEndArray(json);
    jsonEndObject(json);
}

// Why text is not ASE text, or null when it may be: ASE exports are 8-bit text whose tokens
// include the format's keywords. A file in UTF-16 (a byte-order mark, NUL bytes between the
// letters) or any other kind of file reads as an empty model, which the inspector must not
// present as a model.
const char* notAseText(const char* text, size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)))
        return "it starts with a UTF-16 byte-order mark";
    if (size > 0 && std::memchr(text, 0, size)) return "it holds NUL bytes (UTF-16 or binary)";
    ase::Cursor c{text, text + size};
    ase::Token token;
    while (ase::readToken(c, token))
        if (ase::classify(token) != ase::KwNone) return nullptr;
    return "it holds no ASE keyword";
}

int inspectAse(const char* path)
{
    MappedFile text;
    if (!openMappedFile(resolvePath(path).c_str(), text)) {
        std::fprintf(stderr, "demotorva-inspect: cannot read %s: %s\n", path, unreadableReason(path).c_str());
        return 1;
    }
    AseModel model;
    AseReadOptions options;
    options.modelPath = path;
    options.loadTextures = false;
    const bool cut = loadAseModelWith(text.data, text.size, model, options) == AseReadCut;
    const char* notAse = notAseText(text.data, text.size);

    long long vertices = 0, faces = 0, texVertices = 0;
    for (const AseObject& o : model.objects) {
        vertices += o.vertexCount;
        faces += o.faceCount;
        texVertices += o.texVertexCount;
    }
    JsonWriter json;
    jsonBeginObject(json);
    jsonString(json, "file", path);
    jsonInt(json, "bytes", static_cast<long long>(text.size));
    // Tables cut to keep the model within its memory budget (as the demo would load it).
    jsonBool(json, "tablesCut", cut);
    jsonInt(json, "firstFrame", model.firstFrame);
    jsonInt(json, "lastFrame", model.lastFrame);
    jsonInt(json, "frameSpeed", model.frameSpeed);
    jsonInt(json, "ticksPerFrame", model.ticksPerFrame);
    jsonInt(json, "objectCount", model.objectCount);
    jsonInt(json, "materialCount", model.materialCount);
    jsonInt(json, "lightCount", model.lightCount);
    jsonInt(json, "cameraCount", model.cameraCount);
    jsonInt(json, "totalVertices", vertices);
    jsonInt(json, "totalFaces", faces);
    jsonInt(json, "totalTexVertices", texVertices);
    const AseOutline outline = outlineAse(text.data, text.size);
    closeMappedFile(text);
    std::vector<const OutlineNode*> geometryNodes;
    for (const OutlineNode& node : outline.nodes)
        if (node.kind == "GEOMOBJECT") geometryNodes.push_back(&node);
    jsonBeginArray(json, "objects");
    for (size_t i = 0; i < model.objects.size(); ++i)
        objectSummary(json, model.objects[i], i < geometryNodes.size() ? geometryNodes[i] : nullptr);
    jsonEndArray(json);
    jsonBeginArray(json, "materials");
    for (const AseMaterial& m : model.materials) materialSummary(json, m, path);
    jsonEndArray(json);
    jsonBeginArray(json, "lights");
    for (const AseLight& l : model.lights) lightSummary(json, l);
    jsonEndArray(json);
    jsonBeginArray(json, "cameras");
    for (const AseCamera& c : model.cameras) cameraSummary(json, c);
    jsonEndArray(json);
    outlineSummary(json, outline);
    jsonEndObject(json);
    std::printf("%s\n", json.out.c_str());
    if (cut)
        std::fprintf(stderr, "demotorva-inspect: %s: tables cut to %lld MB + %lld bytes per file byte\n", path,
                     static_cast<long long>(aseFixedModelBytes >> 20), static_cast<long long>(aseModelBytesPerFileByte));
    if (notAse) {
        std::fprintf(stderr, "demotorva-inspect: %s is not ASE text: %s\n", path, notAse);
        return 1;
    }
    return 0;
}

const char* statusName(TgaStatus status)
{
    switch (status) {
    case TgaLoaded: return "loaded";
    case TgaCannotOpen: return "cannot open";
    case TgaNotTrueColour: return "not true colour";
    case TgaBadSize: return "bad size";
    case TgaBadDepth: return "bad depth";
    case TgaShortData: return "short data";
    }
    return "unknown";
}

// Uploads the picture through the demo's loader under an offscreen context and reads the
// texture back. The PNG's top row is the texture's last row: the picture as it appears on a
// quad whose texture coordinate t runs upward, as the demo draws them. False with reason set.
bool uploadAndWritePng(const char* path, const char* pngPath, int& channels, std::string& reason)
{
    displayRequestOffscreen();
    if (!displayInit()) {
        reason = "no offscreen OpenGL";
        return false;
    }
    displaySetPixelFormat(32, 16);
    if (!displayCreateWindow("demotorva-inspect", 64, 64, false) || !displayCreateContext() || !displayMakeCurrent()) {
        reason = std::string("no offscreen OpenGL context: ") + displayLastError();
        return false;
    }
    const TextureId name = 1;
    if (loadTgaTexture(path, name) != TgaLoaded) {
        reason = "the picture did not load";
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = 0, height = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    channels = (format == GL_RGBA || format == 4 || format == GL_RGBA8) ? 4 : 3;
    std::vector<unsigned char> texels(static_cast<size_t>(width) * static_cast<size_t>(height) * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    std::vector<unsigned char> rows(texels.size());
    const size_t stride = static_cast<size_t>(width) * channels;
    for (GLint row = 0; row < height; ++row)
        std::memcpy(rows.data() + static_cast<size_t>(height - 1 - row) * stride,
                    texels.data() + static_cast<size_t>(row) * stride, stride);
    const bool written = writePng(pngPath, width, height, channels, rows.data());
    if (!written) reason = std::strerror(errno);
    displayDeleteContext();
    displayDestroyWindow();
    displayQuit();
    return written;
}

// Whether a file's first bytes are a TGA header at all (TGA has no signature): a colour-map
// type of 0 or 1, one of the format's image types, a pixel depth the format knows and both
// sides nonzero. A picture that passes may still be one the loader rejects.
bool looksLikeTga(const char* path)
{
    unsigned char header[18] = {};
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    const size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    const int imageType = header[2], depth = header[16];
    const int width = header[12] | header[13] << 8, height = header[14] | header[15] << 8;
    const bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                           imageType == 10 || imageType == 11;
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    return got == sizeof header && header[1] <= 1 && knownType && knownDepth && width > 0 && height > 0;
}

int inspectTga(const char* path, const char* pngPath)
{
    TgaImage image;
    const TgaStatus status = readTgaImage(path, image);
    if (status == TgaCannotOpen) {
        std::fprintf(stderr, "demotorva-inspect: cannot read %s: %s\n", path, unreadableReason(path).c_str());
        return 1;
    }
    const bool picture = status == TgaLoaded || looksLikeTga(path);
    JsonWriter json;
    jsonBeginObject(json);
    jsonString(json, "file", path);
    jsonInt(json, "status", status);
    jsonString(json, "statusName", statusName(status));
    jsonInt(json, "width", image.width);
    jsonInt(json, "height", image.height);
    jsonInt(json, "depth", image.depth);
    freeTgaImage(image);
    int result = 0;
    if (pngPath && status == TgaLoaded) {
        int channels = 0;
        std::string reason;
        const bool written = uploadAndWritePng(path, pngPath, channels, reason);
        if (written) {
            jsonString(json, "png", pngPath);
            jsonInt(json, "pngChannels", channels);
        } else {
            std::fprintf(stderr, "demotorva-inspect: cannot write %s: %s\n", pngPath, reason.c_str());
            result = 1;
        }
    }
    jsonEndObject(json);
    std::printf("%s\n", json.out.c_str());
    if (!picture) {
        std::fprintf(stderr, "demotorva-inspect: %s is not a TGA picture\n", path);
        return 1;
    }
    return result;
}

// What is wrong with a command line that is not one of the usage's forms, in one line.
std::string usageProblem(int argc, char** argv)
{
    if (argc < 2) return "no command given (ase or tga)";
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "--version" || command == "-V")
        return command + " takes no argument, not '" + argv[2] + "'";
    if (command.rfind("-", 0) == 0) return "unknown option '" + command + "'";
    if (command != "ase" && command != "tga") return "unknown command '" + command + "' (ase or tga)";
    if (argc < 3) return "no FILE given after " + command;
    if (command == "ase") return "unexpected argument '" + std::string(argv[3]) + "' after the FILE";
    const std::string option = argv[3];
    if (option != "--png") return "unexpected argument '" + option + "' after the FILE (only --png OUT)";
    if (argc == 4) return "--png needs a file name";
    return "unexpected argument '" + std::string(argv[5]) + "' after --png OUT";
}

}  // namespace

int main(int argc, char** argv)
{
    const char* first = argc > 1 ? argv[1] : "";
    if (argc == 2 && (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0))
        return std::fputs(usage, stdout) < 0;
    if (argc == 2 && (std::strcmp(first, "--version") == 0 || std::strcmp(first, "-V") == 0))
        return std::printf("demotorva-inspect %s\n", DEMOTORVA_VERSION) < 0;
    if (argc == 3 && std::strcmp(argv[1], "ase") == 0) return inspectAse(argv[2]);
    if (std::strcmp(argc > 1 ? argv[1] : "", "tga") == 0) {
        if (argc == 3) return inspectTga(argv[2], nullptr);
        if (argc == 5 && std::strcmp(argv[3], "--png") == 0) return inspectTga(argv[2], argv[4]);
    }
    std::fprintf(stderr, "demotorva-inspect: %s\n", usageProblem(argc, argv).c_str());
    std::fputs(usage, stderr);
    return 2;
}
