// The generated data pack: every file the demo reads is there, pictures are TGAs the loader
// takes, models read back with the counts they were built with and name only bitmaps that
// exist, and a second run of the generator writes the same bytes, under 16 MB in all.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/ase_reader.h"
#include "assets/tga_loader.h"
#include "support/gl_context.h"

namespace fs = std::filesystem;

namespace {

const fs::path pack = DEMOTORVA_PACK_DIR;

const char* const pictures[] = {
    "maps/loading.tga", "maps/blueBox.tga", "maps/quibe.tga", "maps/by_torva.tga", "maps/destello.tga",
    "maps/text/whatisquibe.tga", "maps/text/human.tga", "maps/text/empty.tga", "maps/text/hollowmint.tga",
    "maps/text/main.tga", "maps/text/space.tga", "maps/text/end.tga", "maps/langs/vazio.tga",
    "maps/langs/kara.tga", "maps/langs/kara_hiragana.tga", "maps/langs/luck.tga", "maps/langs/nullo.tga",
    "maps/langs/tomorom.tga", "maps/langs/vide.tga", "maps/suelo3.tga", "maps/3d.tga", "maps/2d.tga",
    "maps/code.tga", "maps/music.tga", "maps/corvane.tga", "maps/qzr.tga"};
const char* const models[] = {"models/landscape/landscape.ase", "models/templo01/templo01.ase",
                              "models/tunel01/tunel01.ase", "models/star01.ase", "models/logobar.ase"};
// Pictures with transparency: text, logos and the glow.
bool hasAlpha(const std::string& name)
{
    return name.find("blueBox") == std::string::npos && name.find("loading") == std::string::npos &&
           name.find("suelo3") == std::string::npos;
}

std::vector<unsigned char> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool powerOfTwo(int v) { return v >= 2 && v <= 512 && (v & (v - 1)) == 0; }

}  // namespace

TEST(DataPack, PicturesAreUncompressedPowerOfTwoTgasTheLoaderTakes)
{
    ASSERT_TRUE(openTestGlContext());
    ASSERT_TRUE(fs::exists(pack / "Mod_.it"));
    TextureId name = 9000;
    for (const char* p : pictures) {
        SCOPED_TRACE(p);
        const std::vector<unsigned char> b = readBytes(pack / p);
        ASSERT_GE(b.size(), 18u);
        const int w = b[12] | b[13] << 8, h = b[14] | b[15] << 8;
        EXPECT_EQ(b[2], 2);
        EXPECT_TRUE(powerOfTwo(w) && powerOfTwo(h));
        EXPECT_EQ(b[16], hasAlpha(p) ? 32 : 24);
        EXPECT_EQ(b[17] & 0x20, 0);  // bottom row first
        EXPECT_EQ(b.size(), 18u + static_cast<size_t>(w) * h * (b[16] / 8));
        EXPECT_EQ(loadTgaTexture((pack / p).c_str(), name++), 1);
    }
}

TEST(DataPack, ModelsReadBackTexturedWithBitmapsInThePack)
{
    ASSERT_TRUE(openTestGlContext());
    const fs::path before = fs::current_path();
    fs::current_path(pack);  // bitmap paths resolve against the demo's working directory
    for (const char* m : models) {
        SCOPED_TRACE(m);
        AseModel model;
        ASSERT_EQ(loadAseModel(m, model), 1);
        ASSERT_GE(model.objectCount, 1);
        ASSERT_GE(model.materialCount, 1);
        for (const AseMaterial& mat : model.materials) {
            // The temple's sky dome lies wholly in the fog: the one material without a picture.
            if (std::string(mat.name) == "Sky") {
                EXPECT_EQ(mat.hasBitmap, 0);
                continue;
            }
            EXPECT_EQ(mat.hasBitmap, 1) << mat.name;
            EXPECT_TRUE(fs::exists(mat.bitmap)) << mat.bitmap;
            EXPECT_EQ(mat.uTiling, 1.0f);
        }
        for (const AseObject& o : model.objects) {
            EXPECT_GT(o.faceCount, 0);
            EXPECT_EQ(o.texFaceCount, o.faceCount);  // every textured object has coordinates
            EXPECT_GT(o.texVertexCount, 0);
        }
        if (std::string(m).find("templo") != std::string::npos) {
            EXPECT_GE(model.lightCount, 2);
            EXPECT_EQ(model.objects[0].hasNormals, 1);
        }
        releaseAseModel(model);
    }
    fs::current_path(before);
}

// The temple is drawn lit and textured: a face shows emission + 0.2 (the global ambient) + each
// light's colour less (1 - intensity) + each light it faces, with normals that reach OpenGL 20
// times too long (the scene's 1/20 scale), so a light adds up to 20 times its colour. Faces
// away from every light must stay dark, and a face turned square to the key must stay short of
// clipping, or every face shows the same plain texture colour.
TEST(DataPack, TempleLightsGradeItsFacesWithoutClipping)
{
    ASSERT_TRUE(openTestGlContext());
    const fs::path before = fs::current_path();
    fs::current_path(pack);
    AseModel model;
    ASSERT_EQ(loadAseModel("models/templo01/templo01.ase", model), 1);
    fs::current_path(before);
    ASSERT_GE(model.lightCount, 2);
    const AseLight& key = model.lights[0];
    for (const AseMaterial& m : model.materials) {
        if (std::string(m.name) == "Sky") continue;  // emits its own light, fogged away
        SCOPED_TRACE(m.name);
        for (int c = 0; c < 3; ++c) {
            float shade = m.diffuse[c] + 0.2f;
            for (const AseLight& l : model.lights) shade += l.color[c] - (1.0f - l.intensity);
            const float keyLit = shade + 20.0f * key.color[c];
            EXPECT_GT(shade, 0.05f);
            EXPECT_LT(shade, 0.35f);
            EXPECT_LT(keyLit, 1.15f);
            EXPECT_GT(keyLit - shade, 0.5f);
        }
    }
    releaseAseModel(model);
}

TEST(DataPack, SecondRunWritesTheSameBytes)
{
    const fs::path generator = pack.parent_path() / "tools/datapack/demotorva-datapack";
    if (!fs::exists(generator)) GTEST_SKIP() << "generator not built beside the pack";
    const fs::path again = fs::temp_directory_path() / ("datapack-again-" + std::to_string(::getpid()));
    fs::remove_all(again);
    ASSERT_EQ(std::system((generator.string() + " " + again.string()).c_str()), 0);
    size_t files = 0;
    uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(pack)) {
        if (!entry.is_regular_file() || entry.path().filename() == ".complete") continue;
        const fs::path rel = fs::relative(entry.path(), pack);
        EXPECT_EQ(readBytes(entry.path()), readBytes(again / rel)) << rel;
        ++files;
        bytes += entry.file_size();
    }
    EXPECT_GE(files, std::size(pictures) + std::size(models) + 1);
    EXPECT_LT(bytes, 16000000u) << "the pack should stay under 16 MB";
    fs::remove_all(again);
}
