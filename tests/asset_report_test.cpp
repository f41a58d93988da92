// The asset inspector as its users run it: its JSON must say what the demo's reader stores,
// agree with an independent ASE reader (assimp, loaded at run time) on the objects, face
// counts, materials and bitmaps of the sample files, and fail plainly on files it cannot read.
#include <gtest/gtest.h>

#if __has_include(<assimp/scene.h>)
#include <assimp/material.h>
#include <assimp/scene.h>
#define DEMOTORVA_HAVE_ASSIMP 1
#endif
#include <dlfcn.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "assets/ase_reader.h"
#include "support/gl_context.h"

namespace fs = std::filesystem;

namespace {

// ---- a minimal JSON reader, enough for the inspector's output ----
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;
    const Json& operator[](const std::string& key) const
    {
        static const Json none;
        auto it = members.find(key);
        return it == members.end() ? none : it->second;
    }
    const Json& operator[](size_t i) const { return items.at(i); }
};

struct JsonParser {
    const char* p;
    bool ok = true;
    void blanks()
    {
        while (*p == ' ' || *p == '\n' || *p == '\t' || *p == '\r') ++p;
    }
    std::string string()
    {
        std::string out;
        ++p;
        while (*p && *p != '"') {
            if (*p == '\\') {
                ++p;
                if (*p == 'u') {
                    out += static_cast<char>(std::strtol(std::string(p + 1, 4).c_str(), nullptr, 16) & 0xFF);
                    p += 4;
                } else {
                    out += *p;
                }
            } else {
                out += *p;
            }
            ++p;
        }
        if (*p != '"') {
            ok = false;
        } else {
            ++p;
        }
        return out;
    }
    Json value()
    {
        blanks();
        Json v;
        if (*p == '{') {
            v.kind = Json::Object;
            ++p;
            blanks();
            while (ok && *p != '}') {
                blanks();
                std::string key = string();
                blanks();
                if (*p++ != ':') ok = false;
                v.members[key] = value();
                blanks();
                if (*p == ',') {
                    ++p;
                } else if (*p != '}') {
                    ok = false;
                }
            }
            ++p;
        } else if (*p == '[') {
            v.kind = Json::Array;
            ++p;
            blanks();
            while (ok && *p != ']') {
                v.items.push_back(value());
                blanks();
                if (*p == ',') {
                    ++p;
                } else if (*p != ']') {
                    ok = false;
                }
            }
            ++p;
        } else if (*p == '"') {
            v.kind = Json::String;
            v.text = string();
        } else if (std::strncmp(p, "true", 4) == 0 || std::strncmp(p, "false", 5) == 0) {
            v.kind = Json::Bool;
            v.number = *p == 't';
            p += *p == 't' ? 4 : 5;
        } else if (std::strncmp(p, "null", 4) == 0) {
            p += 4;
        } else {
            char* end = nullptr;
            v.kind = Json::Number;
            v.number = std::strtod(p, &end);
            if (end == p) ok = false;
            p = end;
        }
        return v;
    }
};

bool parseJson(const std::string& text, Json& out)
{
    JsonParser parser{text.c_str()};
    out = parser.value();
    parser.blanks();
    return parser.ok && *parser.p == '\0';
}

// ---- running the inspector ----
struct InspectRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string inspectorPath()
{
    return (fs::path(DEMOTORVA_EXECUTABLE).parent_path() / "tools" / "inspect" / "demotorva-inspect").string();
}

InspectRun inspect(const std::string& arguments)
{
    // One file per process: ctest runs the cases of this suite side by side.
    const std::string errPath = std::string(::testing::TempDir()) + "inspect_stderr_" + std::to_string(getpid()) + ".txt";
    const std::string command = inspectorPath() + " " + arguments + " 2>" + errPath;
    InspectRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errPath);
    std::stringstream text;
    text << err.rdbuf();
    run.err = text.str();
    return run;
}

std::vector<fs::path> sampleFiles()
{
    std::vector<fs::path> files;
    const fs::path dir = fs::path(DEMOTORVA_TEST_DATA_DIR).parent_path() / "fuzz" / "replay" / "ase";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error))
        if (entry.path().extension() == ".ase") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

Json summaryOf(const fs::path& file)
{
    const InspectRun run = inspect("ase '" + file.string() + "'");
    EXPECT_EQ(run.status, 0) << file << ": " << run.err;
    Json json;
    EXPECT_TRUE(parseJson(run.out, json)) << file;
    return json;
}

// ---- assimp through its C interface, loaded at run time ----
#ifdef DEMOTORVA_HAVE_ASSIMP
struct AssimpLibrary {
    void* library = nullptr;
    const aiScene* (*importFile)(const char*, unsigned int) = nullptr;
    void (*release)(const aiScene*) = nullptr;
    aiReturn (*materialString)(const aiMaterial*, const char*, unsigned int, unsigned int, aiString*) = nullptr;

    bool open()
    {
        for (const char* name : {"libassimp.so.5", "libassimp.so"})
            if ((library = dlopen(name, RTLD_NOW | RTLD_LOCAL))) break;
        if (!library) return false;
        importFile = reinterpret_cast<decltype(importFile)>(dlsym(library, "aiImportFile"));
        release = reinterpret_cast<decltype(release)>(dlsym(library, "aiReleaseImport"));
        materialString = reinterpret_cast<decltype(materialString)>(dlsym(library, "aiGetMaterialString"));
        return importFile && release && materialString;
    }
};

void meshNodeNames(const aiNode* node, std::multiset<std::string>& names)
{
    if (node->mNumMeshes > 0) names.insert(node->mName.C_Str());
    for (unsigned i = 0; i < node->mNumChildren; ++i) meshNodeNames(node->mChildren[i], names);
}

#endif

void outlineMaterials(const Json& materials, std::map<std::string, std::set<std::string>>& bitmaps)
{
    for (const Json& m : materials.items) {
        std::set<std::string>& paths = bitmaps[m["name"].text];
        for (const Json& b : m["bitmaps"].items) paths.insert(b["path"].text);
    }
}

class Inspector : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(inspectorPath())) GTEST_SKIP() << "demotorva-inspect not built";
    }
};
}  // namespace

TEST_F(Inspector, AseSummaryIsWhatTheReaderStores)
{
    const auto files = sampleFiles();
    ASSERT_GE(files.size(), 3u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        AseModel model;
        AseReadOptions options;
        options.modelPath = file.c_str();
        options.loadTextures = false;
        loadAseModelWith(text.data(), text.size(), model, options);
        const Json json = summaryOf(file);
        EXPECT_EQ(json["objectCount"].number, model.objectCount);
        EXPECT_EQ(json["materialCount"].number, model.materialCount);
        EXPECT_EQ(json["lightCount"].number, model.lightCount);
        EXPECT_EQ(json["cameraCount"].number, model.cameraCount);
        EXPECT_EQ(json["ticksPerFrame"].number, model.ticksPerFrame);
        ASSERT_EQ(json["objects"].items.size(), model.objects.size());
        for (size_t i = 0; i < model.objects.size(); ++i) {
            const AseObject& o = model.objects[i];
            const Json& j = json["objects"][i];
            EXPECT_EQ(j["name"].text, o.name);
            EXPECT_EQ(j["faceCount"].number, o.faceCount);
            EXPECT_EQ(j["vertexCount"].number, o.vertexCount);
            EXPECT_EQ(j["materialRef"].number, o.materialRef);
            EXPECT_EQ(j["posFrames"].number, static_cast<double>(o.anim.posFrames.size()));
            if (!o.vertices.empty()) {
                float lowY = o.vertices[0].y;
                for (const Vector3& v : o.vertices) lowY = std::min(lowY, v.y);
                EXPECT_FLOAT_EQ(static_cast<float>(j["bounds"]["min"][1].number), lowY);
            }
        }
        for (size_t i = 0; i < model.materials.size(); ++i) {
            EXPECT_EQ(json["materials"][i]["bitmap"].text, model.materials[i].bitmap);
            EXPECT_FLOAT_EQ(static_cast<float>(json["materials"][i]["uTiling"].number), model.materials[i].uTiling);
        }
    }
}

TEST_F(Inspector, AgreesWithAnIndependentReader)
{
#ifndef DEMOTORVA_HAVE_ASSIMP
    GTEST_SKIP() << "assimp headers not installed";
#else
    AssimpLibrary assimp;
    if (!assimp.open()) GTEST_SKIP() << "assimp not available";
    int materialsCompared = 0, bitmapsCompared = 0;
    for (const fs::path& file : sampleFiles()) {
        SCOPED_TRACE(file.string());
        const aiScene* scene = assimp.importFile(file.c_str(), 0);
        ASSERT_NE(scene, nullptr);
        const Json json = summaryOf(file);

        // Objects by their own names, and their faces all together.
        std::multiset<std::string> theirs, ours;
        meshNodeNames(scene->mRootNode, theirs);
        for (const Json& o : json["objects"].items) ours.insert(o["nodeName"].text);
        EXPECT_EQ(ours, theirs);
        double theirFaces = 0;
        for (unsigned i = 0; i < scene->mNumMeshes; ++i) theirFaces += scene->mMeshes[i]->mNumFaces;
        EXPECT_EQ(json["totalFaces"].number, theirFaces);
        EXPECT_EQ(json["lightCount"].number, scene->mNumLights);
        EXPECT_EQ(json["cameraCount"].number, scene->mNumCameras);

        // Every material assimp makes of the file is one of the file's materials, with the
        // same diffuse bitmap.
        std::map<std::string, std::set<std::string>> bitmaps;
        outlineMaterials(json["outline"]["materials"], bitmaps);
        for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
            aiString name, texture;
            assimp.materialString(scene->mMaterials[i], "?mat.name", 0, 0, &name);
            const std::string materialName = name.C_Str();
            if (materialName == AI_DEFAULT_MATERIAL_NAME || materialName == "INVALID") continue;
            ASSERT_TRUE(bitmaps.count(materialName)) << materialName;
            ++materialsCompared;
            if (assimp.materialString(scene->mMaterials[i], "$tex.file", aiTextureType_DIFFUSE, 0, &texture) ==
                aiReturn_SUCCESS) {
                EXPECT_TRUE(bitmaps[materialName].count(texture.C_Str())) << materialName << " " << texture.C_Str();
                ++bitmapsCompared;
            }
        }
        assimp.release(scene);
    }
    EXPECT_GE(materialsCompared, 4);
    EXPECT_GE(bitmapsCompared, 3);
#endif
}

TEST_F(Inspector, TgaStatusAndUploadedPicture)
{
    const std::string dir = std::string(::testing::TempDir());
    // 4 x 2, 24 bits: file row 0 red, row 1 green (B, G, R order in the file).
    std::vector<unsigned char> pixels;
    for (int i = 0; i < 4; ++i) pixels.insert(pixels.end(), {0, 0, 255});
    for (int i = 0; i < 4; ++i) pixels.insert(pixels.end(), {0, 255, 0});
    ASSERT_TRUE(writeFile(dir + "inspect.tga", makeTga(4, 2, 24, pixels)));
    const std::string png = dir + "inspect.png";
    std::remove(png.c_str());
    const InspectRun run = inspect("tga " + dir + "inspect.tga --png " + png);
    ASSERT_EQ(run.status, 0) << run.err;
    Json json;
    ASSERT_TRUE(parseJson(run.out, json));
    EXPECT_EQ(json["status"].number, TgaLoaded);
    EXPECT_EQ(json["width"].number, 4);
    EXPECT_EQ(json["height"].number, 2);
    EXPECT_EQ(json["depth"].number, 24);

    // The PNG's top row is the texture's last row: green above red.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, png.c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(rgb[1], 255);              // top row green
    EXPECT_EQ(rgb[4 * 3 + 0], 255);      // bottom row red

    // A picture the loader rejects is still reported; a missing one is a failure.
    ASSERT_TRUE(writeFile(dir + "inspect_bad.tga", makeTga(3, 2, 24, pixels)));
    const InspectRun bad = inspect("tga " + dir + "inspect_bad.tga");
    EXPECT_EQ(bad.status, 0);
    ASSERT_TRUE(parseJson(bad.out, json));
    EXPECT_EQ(json["status"].number, TgaBadSize);
    // A file that is no TGA picture at all (a PNG here) is reported and fails.
    std::vector<unsigned char> notPicture = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    notPicture.resize(48, 0);
    ASSERT_TRUE(writeFile(dir + "inspect_png.tga", notPicture));
    const InspectRun notTga = inspect("tga " + dir + "inspect_png.tga");
    EXPECT_EQ(notTga.status, 1);
    EXPECT_NE(notTga.err.find("is not a TGA picture"), std::string::npos) << notTga.err;
    const InspectRun missing = inspect("tga " + dir + "no_such.tga");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("cannot read " + dir + "no_such.tga: No such file or directory\n"), std::string::npos)
        << missing.err;
}

TEST_F(Inspector, UnreadableModelAndUsage)
{
    const InspectRun missing = inspect("ase /no/such/model.ase");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_EQ(missing.err, "demotorva-inspect: cannot read /no/such/model.ase: No such file or directory\n");
    EXPECT_EQ(inspect("ase").status, 2);
    EXPECT_EQ(inspect("obj x").status, 2);
    // Names with quotes, backslashes and bytes past ASCII still give valid JSON.
    const std::string path = std::string(::testing::TempDir()) + "odd_names.ase";
    std::ofstream(path) << "*GEOMOBJECT {\n\t*NODE_NAME \"a\\b\xe9\x80\"\n}\n*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n"
                           "\t*MATERIAL 0 {\n\t\t*MATERIAL_NAME \"say \\\"hi\\\"\"\n\t}\n}\n";
    const InspectRun odd = inspect("ase " + path);
    ASSERT_EQ(odd.status, 0);
    Json json;
    ASSERT_TRUE(parseJson(odd.out, json)) << odd.out;
    EXPECT_EQ(json["objects"][0]["name"].text, "a\\b\xe9\xac");

    // Text that is not ASE (UTF-16 with or without its byte-order mark, no keyword at all)
    // reads as an empty model, and the inspector says so and fails.
    const std::string model = "*GEOMOBJECT {\n\t*NODE_NAME \"a\"\n}\n";
    std::string utf16;
    for (char c : model) utf16 += std::string(1, c) + '\0';
    for (const std::string& bytes : {"\xff\xfe" + utf16, utf16, std::string("just some text\n")}) {
        std::ofstream(path, std::ios::binary) << bytes;
        const InspectRun wrong = inspect("ase " + path);
        EXPECT_EQ(wrong.status, 1);
        EXPECT_NE(wrong.err.find("is not ASE text"), std::string::npos) << wrong.err;
        ASSERT_TRUE(parseJson(wrong.out, json));
        EXPECT_EQ(json["objectCount"].number, 0);
    }

    // Sub-materials nest to any depth without recursion: a flat list naming each parent.
    // A key two billion ticks away has its table cut, and the summary says so.
    const int depth = 20000;
    std::string nested = "*MATERIAL_LIST {\n*MATERIAL_COUNT 1\n*MATERIAL 0 {\n*MATERIAL_NAME \"top\"\n";
    for (int i = 0; i < depth; ++i) nested += "*SUBMATERIAL " + std::to_string(i) + " {\n";
    nested += "*MATERIAL_NAME \"deep\"\n" + std::string(2 * depth, '}') + "\n}\n}\n";
    nested += "*SCENE_TICKSPERFRAME 1\n*GEOMOBJECT {\n*NODE_NAME \"a\"\n*TM_ANIMATION {\n*CONTROL_POS_TRACK {\n"
              "*CONTROL_POS_SAMPLE 0 0.0 0.0 0.0\n*CONTROL_POS_SAMPLE 2000000000 1.0 0.0 0.0\n}\n}\n}\n";
    std::ofstream(path, std::ios::binary) << nested;
    const InspectRun deep = inspect("ase " + path);
    EXPECT_EQ(deep.status, 0) << deep.err;
    EXPECT_NE(deep.err.find("tables cut"), std::string::npos) << deep.err;
    ASSERT_TRUE(parseJson(deep.out, json));
    EXPECT_EQ(json["tablesCut"].number, 1);
    const Json& materials = json["outline"]["materials"];
    ASSERT_EQ(materials.items.size(), size_t(depth) + 1);
    EXPECT_EQ(materials[0]["parent"].number, -1);
    EXPECT_EQ(materials[depth]["parent"].number, depth - 1);
    EXPECT_EQ(materials[depth]["name"].text, "deep");
}
