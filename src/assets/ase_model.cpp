// Model records: allocation of an object's arrays, material textures and release.
//
// Material textures are named from one counter rather than from buffer addresses: an address
// does not fit a 32-bit texture name here, and a counter far above the scenes' fixed names is
// just as distinct. A bitmap path written on the exporting machine (often absolute) is tried as
// written first, so every file that loads as written loads the same; only when that fails is
// the picture of the same file name beside the model used.
#include "assets/ase_model.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/files.h"

namespace {
TextureId materialTextureCounter = aseFirstMaterialTexture;

bool fileExists(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// The last component of a path written with either separator.
std::string fileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder part of a path, with its separator, or empty for a bare file name.
std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
}  // namespace

TextureId nextMaterialTexture() { return materialTextureCounter++; }

void allocateObjectArrays(AseObject& object)
{
    if (object.vertexCount < 0) object.vertexCount = 0;
    if (object.faceCount < 0) object.faceCount = 0;
    if (object.texVertexCount < 0) object.texVertexCount = 0;
    object.vertices.assign(static_cast<size_t>(object.vertexCount), Vector3{});
    object.faces.assign(static_cast<size_t>(object.faceCount), AseFace{});
    object.texVertices.clear();
    if (object.texVertexCount != 0)
        object.texVertices.assign(static_cast<size_t>(object.texVertexCount), TexVertex{});
    object.vertexNormals.clear();
    if (object.hasNormals)
        object.vertexNormals.assign(static_cast<size_t>(object.vertexCount), Vector3{});
}

std::string resolveBitmapPath(const char* bitmap, const char* modelPath)
{
    const std::string written = bitmap ? bitmap : "";
    if (written.empty() || fileExists(resolvePath(written)) || !modelPath) return written;
    const std::string name = fileNameOf(written);
    if (name.empty()) return written;
    const std::string beside = folderOf(modelPath) + name;
    const std::string found = resolvePath(beside);
    return fileExists(found) ? found : written;
}

void loadMaterialTexture(AseMaterial& material, const char* modelPath)
{
    if (material.bitmap[0] == '\0') return;
    // A picture that cannot be read leaves the name without an image; the material still
    // counts as textured.
    loadTgaTexture(resolveBitmapPath(material.bitmap, modelPath).c_str(), material.texture);
}

void releaseAseModel(AseModel& model)
{
    // The counts of freed arrays go to 0 with them, so nothing that walks a count reads
    // storage that is gone.
    for (AseObject& object : model.objects) {
        object.vertices = {};
        object.faces = {};
        object.texVertices = {};
        object.vertexNormals = {};
        object.vertexCount = 0;
        object.faceCount = 0;
        object.texVertexCount = 0;
    }
    model.materials = {};
    model.materialCount = 0;
}
