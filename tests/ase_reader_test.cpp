// The ASE reader on text laid out the way exporters write it: tab-indented blocks, face lines
// with their A:, B:, C:, AB:, BC:, CA: fields, three-value texture vertices, map blocks nested
// in materials, animation tracks, lights and cameras.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/stat.h>

#include "assets/ase_reader.h"
#include "fuzz/ase_model_compare.h"

namespace {
// Reads text as the demo does and once more reading every character without the line index:
// both must give the same model.
AseModel readText(const std::string& text, AseModel model = AseModel{})
{
    AseModel plain = model;
    AseReadOptions options;
    options.loadTextures = false;
    loadAseModelWith(text.data(), text.size(), model, options);
    options.lineIndex = false;
    loadAseModelWith(text.data(), text.size(), plain, options);
    EXPECT_EQ(ase_compare::difference(model, plain), "") << "the line index changed the result";
    return model;
}

const char* sceneHeader =
    "*3DSMAX_ASCIIEXPORT\t200\n"
    "*COMMENT \"AsciiExport Version  2.00 - Mon Dec 07 11:00:00 2026\"\n"
    "*SCENE {\n"
    "\t*SCENE_FILENAME \"box.max\"\n"
    "\t*SCENE_FIRSTFRAME 0\n"
    "\t*SCENE_LASTFRAME 100\n"
    "\t*SCENE_FRAMESPEED 30\n"
    "\t*SCENE_TICKSPERFRAME 160\n"
    "\t*SCENE_BACKGROUND_STATIC 0.0000\t0.0000\t0.0000\n"
    "}\n";

std::string material(int index, const std::string& name, const std::string& body)
{
    return "\t*MATERIAL " + std::to_string(index) + " {\n\t\t*MATERIAL_NAME \"" + name +
           "\"\n\t\t*MATERIAL_CLASS \"Standard\"\n" + body + "\t}\n";
}

std::string materialList(int count, const std::string& materials)
{
    return "*MATERIAL_LIST {\n\t*MATERIAL_COUNT " + std::to_string(count) + "\n" + materials + "}\n";
}

std::string diffuseMap(const std::string& bitmap, float uTiling, float vTiling)
{
    char tiling[128];
    std::snprintf(tiling, sizeof tiling, "\t\t\t*UVW_U_TILING %.4f\n\t\t\t*UVW_V_TILING %.4f\n", uTiling, vTiling);
    return "\t\t*MAP_DIFFUSE {\n\t\t\t*MAP_NAME \"Map #1\"\n\t\t\t*MAP_CLASS \"Bitmap\"\n\t\t\t*MAP_SUBNO 1\n"
           "\t\t\t*MAP_AMOUNT 1.0000\n\t\t\t*BITMAP \"" + bitmap + "\"\n\t\t\t*MAP_TYPE Screen\n" +
           tiling + "\t\t\t*UVW_U_OFFSET 0.2500\n\t\t\t*UVW_V_OFFSET -0.5000\n\t\t\t*BITMAP_FILTER Pyramidal\n\t\t}\n";
}

std::string nodeTm(const std::string& name, const std::string& pos)
{
    return "\t*NODE_TM {\n\t\t*NODE_NAME \"" + name + "\"\n\t\t*INHERIT_POS 0 0 0\n"
           "\t\t*TM_ROW0 1.0000\t0.0000\t0.0000\n\t\t*TM_POS " + pos +
           "\n\t\t*TM_ROTAXIS 0.0000\t0.0000\t0.0000\n\t\t*TM_ROTANGLE 0.0000\n\t}\n";
}

// A triangle object: vertices (1,2,3), (4,5,6), (7,8,9), one face, texture vertices and
// normals; extra goes after the mesh block (animation, material reference).
std::string triangle(const std::string& name, const std::string& extra, const std::string& faceTail =
                         "\t *MESH_SMOOTHING 1 \t*MESH_MTLID 3")
{
    return "*GEOMOBJECT {\n\t*NODE_NAME \"" + name + "\"\n" + nodeTm(name, "10.0000\t20.0000\t30.0000") +
           "\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX 3\n\t\t*MESH_NUMFACES 1\n"
           "\t\t*MESH_VERTEX_LIST {\n"
           "\t\t\t*MESH_VERTEX    0\t1.0000\t2.0000\t3.0000\n"
           "\t\t\t*MESH_VERTEX    1\t4.0000\t5.0000\t6.0000\n"
           "\t\t\t*MESH_VERTEX    2\t7.0000\t8.0000\t9.0000\n"
           "\t\t}\n\t\t*MESH_FACE_LIST {\n"
           "\t\t\t*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    0" + faceTail + "\n"
           "\t\t}\n\t\t*MESH_NUMTVERTEX 2\n\t\t*MESH_TVERTLIST {\n"
           "\t\t\t*MESH_TVERT 0\t0.5000\t0.5000\t0.0000\n"
           "\t\t\t*MESH_TVERT 1\t0.2500\t1.0000\t0.0000\n"
           "\t\t}\n\t\t*MESH_NUMTVFACES 1\n\t\t*MESH_TFACELIST {\n"
           "\t\t\t*MESH_TFACE 0\t1\t0\t1\n"
           "\t\t}\n\t\t*MESH_NORMALS {\n"
           "\t\t\t*MESH_FACENORMAL 0\t0.0000\t1.0000\t0.0000\n"
           "\t\t\t\t*MESH_VERTEXNORMAL 0\t0.0000\t0.0000\t1.0000\n"
           "\t\t\t\t*MESH_VERTEXNORMAL 1\t1.0000\t0.0000\t0.0000\n"
           "\t\t\t\t*MESH_VERTEXNORMAL 2\t0.0000\t1.0000\t0.0000\n"
           "\t\t}\n\t}\n\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n" + extra +
           "\t*WIREFRAME_COLOR 0.1000\t0.2000\t0.3000\n}\n";
}

std::string light(const std::string& name, bool withTarget, const std::string& extra = "")
{
    std::string text = "*LIGHTOBJECT {\n\t*NODE_NAME \"" + name + "\"\n\t*LIGHT_TYPE " +
                       (withTarget ? "Target" : "Omni") + "\n" + nodeTm(name, "1.0000\t2.0000\t3.0000");
    if (withTarget) text += nodeTm(name + ".Target", "4.0000\t6.0000\t8.0000");
    return text + "\t*LIGHT_SHADOWS Off\n\t*LIGHT_SETTINGS {\n\t\t*TIMEVALUE 0\n"
                  "\t\t*LIGHT_COLOR 1.0000\t0.5000\t0.2500\n\t\t*LIGHT_INTENS 0.7500\n"
                  "\t\t*LIGHT_HOTSPOT 43.0000\n\t\t*LIGHT_FALLOFF 45.0000\n\t}\n" + extra + "}\n";
}

std::string positionSamples(const std::string& samples, const std::string& rotations = "")
{
    std::string text = "\t*TM_ANIMATION {\n\t\t*NODE_NAME \"anim\"\n\t\t*CONTROL_POS_TRACK {\n" + samples + "\t\t}\n";
    if (!rotations.empty()) text += "\t\t*CONTROL_ROT_TRACK {\n" + rotations + "\t\t}\n";
    return text + "\t}\n";
}

std::string sample(int time, float x, float y, float z)
{
    char line[160];
    std::snprintf(line, sizeof line, "\t\t\t*CONTROL_POS_SAMPLE %d\t%.4f\t%.4f\t%.4f\n", time, x, y, z);
    return line;
}
}  // namespace

TEST(AseReader, GeometryMaterialAndAxes)
{
    const std::string text = std::string(sceneHeader) +
                             materialList(1, material(0, "Stone", diffuseMap("maps\\stone.tga", 2, 3))) +
                             triangle("Box01", "\t*MATERIAL_REF 0\n");
    const AseModel model = readText(text);
    ASSERT_EQ(model.objectCount, 1);
    ASSERT_EQ(model.materialCount, 1);
    EXPECT_EQ(model.ticksPerFrame, 160);
    EXPECT_EQ(model.frameSpeed, 30);
    EXPECT_EQ(model.lastFrame, 100);

    const AseMaterial& m = model.materials[0];
    EXPECT_STREQ(m.name, "Stone");
    EXPECT_STREQ(m.className, "Standard");
    EXPECT_STREQ(m.bitmap, "maps\\stone.tga");
    EXPECT_EQ(m.hasBitmap, 1);
    EXPECT_GE(m.texture, aseFirstMaterialTexture);
    EXPECT_FLOAT_EQ(m.uOffset, 0.25f);
    EXPECT_FLOAT_EQ(m.vOffset, -0.5f);

    const AseObject& o = model.objects[0];
    EXPECT_STREQ(o.name, "Box01");
    EXPECT_EQ(o.vertexCount, 3);
    EXPECT_EQ(o.faceCount, 1);
    EXPECT_EQ(o.texVertexCount, 2);
    EXPECT_EQ(o.texFaceCount, 1);
    EXPECT_EQ(o.hasNormals, 1);
    EXPECT_EQ(o.materialRef, 0);
    // File (X, Y, Z) becomes (X, Z, -Y) for vertices and both kinds of normal.
    EXPECT_FLOAT_EQ(o.vertices[0].x, 1.0f);
    EXPECT_FLOAT_EQ(o.vertices[0].y, 3.0f);
    EXPECT_FLOAT_EQ(o.vertices[0].z, -2.0f);
    EXPECT_FLOAT_EQ(o.vertices[2].y, 9.0f);
    EXPECT_FLOAT_EQ(o.faces[0].normal.z, -1.0f);
    EXPECT_FLOAT_EQ(o.vertexNormals[0].y, 1.0f);
    EXPECT_FLOAT_EQ(o.vertexNormals[2].z, -1.0f);
    // Texture vertices are multiplied by the material's tiling; the third value is dropped.
    EXPECT_FLOAT_EQ(o.texVertices[0].u, 1.0f);
    EXPECT_FLOAT_EQ(o.texVertices[0].v, 1.5f);
    EXPECT_FLOAT_EQ(o.texVertices[1].u, 0.5f);
    EXPECT_EQ(o.faces[0].v[0], 0);
    EXPECT_EQ(o.faces[0].v[1], 1);
    EXPECT_EQ(o.faces[0].v[2], 2);
    EXPECT_EQ(o.faces[0].materialId, 3);
    EXPECT_EQ(o.faces[0].t[0], 1);
    EXPECT_EQ(o.faces[0].t[1], 0);
    // Pivot and colours stay in file order.
    EXPECT_FLOAT_EQ(o.pivot[1], 20.0f);
    EXPECT_FLOAT_EQ(o.wireColor[2], 0.3f);
    EXPECT_EQ(o.anim.posKeyCount, 0);
    EXPECT_TRUE(o.anim.posFrames.empty());
    EXPECT_TRUE(o.anim.rotFrames.empty());
}

TEST(AseReader, FaceLinesAreMatchedLiterally)
{
    AseModel empty = readText(triangle("F", "", "\t *MESH_SMOOTHING \t*MESH_MTLID 3"));
    EXPECT_EQ(empty.objects[0].faces[0].v[2], 2);
    EXPECT_EQ(empty.objects[0].faces[0].materialId, 0);  // the match stops at the empty group
    AseModel several = readText(triangle("F", "", "\t *MESH_SMOOTHING 1,2 \t*MESH_MTLID 3"));
    EXPECT_EQ(several.objects[0].faces[0].v[1], 1);
    EXPECT_EQ(several.objects[0].faces[0].materialId, 0);
}

TEST(AseReader, NamesAndBlockBoundaries)
{
    // A light between two objects names the first object; a name with a blank stays whole;
    // one longer than 254 characters is cut; a value without its opening quote reads nothing.
    const std::string longName(300, 'n');
    const std::string text = std::string(sceneHeader) + triangle("Box01", "") + light("Omni01", false) +
                             triangle("My Box", "") + triangle(longName, "") +
                             "*GEOMOBJECT {\n\t*NODE_NAME \"Kept\"\n\t*NODE_NAME Unquoted\n}\n";
    const AseModel model = readText(text);
    ASSERT_EQ(model.objectCount, 4);
    ASSERT_EQ(model.lightCount, 1);
    EXPECT_STREQ(model.objects[0].name, "Omni01");
    EXPECT_STREQ(model.objects[1].name, "My Box");
    EXPECT_EQ(std::string(model.objects[2].name), longName.substr(0, 254));
    EXPECT_STREQ(model.objects[3].name, "Kept");
    EXPECT_STREQ(model.lights[0].name, "Omni01");
    // The light block ends the first object: its *TM_POS is not the object's pivot.
    EXPECT_FLOAT_EQ(model.objects[0].pivot[0], 10.0f);
}

TEST(AseReader, MaterialBlocksRunToTheNextMaterial)
{
    // Two map blocks: the second one's bitmap and tiling win. Count 2 with three blocks: only
    // two are read. A material without tiling lines scales texture vertices to 0.
    const std::string twoMaps = diffuseMap("first.tga", 1, 1) + diffuseMap("second.tga", 4, 5);
    const std::string materials = material(0, "Maps", twoMaps) + material(1, "Plain", "\t\t*MATERIAL_SHINE 0.5\n") +
                                  material(2, "Third", diffuseMap("third.tga", 1, 1));
    const std::string text = std::string(sceneHeader) + materialList(2, materials) +
                             triangle("A", "\t*MATERIAL_REF 1\n") + triangle("B", "\t*MATERIAL_REF 7\n") +
                             triangle("C", "\t*MATERIAL_REF 0\n");
    const AseModel model = readText(text);
    ASSERT_EQ(model.materialCount, 2);
    EXPECT_STREQ(model.materials[0].bitmap, "second.tga");
    EXPECT_FLOAT_EQ(model.materials[0].uTiling, 4.0f);
    EXPECT_STREQ(model.materials[1].name, "Plain");
    EXPECT_EQ(model.materials[1].hasBitmap, 0);
    EXPECT_STREQ(model.materials[1].bitmap, "");
    EXPECT_FLOAT_EQ(model.objects[0].texVertices[0].u, 0.0f);
    // Without a valid material the texture vertices are kept as written.
    EXPECT_FLOAT_EQ(model.objects[1].texVertices[0].u, 0.5f);
    EXPECT_FLOAT_EQ(model.objects[1].texVertices[1].v, 1.0f);
    EXPECT_FLOAT_EQ(model.objects[2].texVertices[0].u, 2.0f);
    EXPECT_FLOAT_EQ(model.objects[2].texVertices[0].v, 2.5f);

    const AseModel untiled = readText(materialList(1, material(0, "Untiled", "\t\t*BITMAP \"x.tga\"\n")) +
                                      triangle("U", "\t*MATERIAL_REF 0\n"));
    EXPECT_FLOAT_EQ(untiled.objects[0].texVertices[0].u, 0.0f);
    EXPECT_FLOAT_EQ(untiled.objects[0].texVertices[1].v, 0.0f);

    // The last material's block runs to the end of the file; two materials naming the same
    // bitmap get two texture names.
    const AseModel last = readText(materialList(2, material(0, "Same", "\t\t*BITMAP \"late.tga\"\n") +
                                                       material(1, "Last", "")) +
                                   triangle("L", "") + "*BITMAP \"late.tga\"\n");
    EXPECT_STREQ(last.materials[1].bitmap, "late.tga");
    EXPECT_EQ(last.materials[1].hasBitmap, 1);
    EXPECT_NE(last.materials[0].texture, last.materials[1].texture);

    // The last *MATERIAL_COUNT sizes the table.
    const AseModel recounted = readText(materialList(3, material(0, "M", "")) + "*MATERIAL_COUNT 1\n");
    EXPECT_EQ(recounted.materialCount, 1);

    // A block keyword behind an unknown token on its line still ends the block before it: the
    // line skip passes over it, but the next block starts there. (Without that stop, a run of
    // such lines made every block read to the end of the file: quadratic time.)
    const AseModel hidden = readText(materialList(2, "\t*MATERIAL 0 {\n\t\t*MATERIAL_SHINE 0.1\n\t\t*X *MATERIAL 1 {\n"
                                                     "\t\t*MATERIAL_SHINE 0.7\n\t}\n") +
                                     "*GEOMOBJECT {\n\t*X *GEOMOBJECT {\n\t*TM_POS 1.0 2.0 3.0\n}\n");
    EXPECT_FLOAT_EQ(hidden.materials[0].shine, 0.1f);
    EXPECT_FLOAT_EQ(hidden.materials[1].shine, 0.7f);
    ASSERT_EQ(hidden.objectCount, 2);
    EXPECT_FLOAT_EQ(hidden.objects[0].pivot[0], 0.0f);
    EXPECT_FLOAT_EQ(hidden.objects[1].pivot[0], 1.0f);
}

TEST(AseReader, KeywordsInsideLinesAreCounted)
{
    // Block starts, object kinds and header values that follow other tokens on their line are
    // counted as at a line's start; look-alikes that share their first letters are not.
    const std::string text = std::string("*COMMENT x *SCENE_TICKSPERFRAME 80 *MATERIAL_COUNT 2\n") +
                             "*MATERIAL_LIST { *MATERIAL 0 { *MATERIAL_NAME \"In\" } *MATERIAL 1 {\n}\n" +
                             "*COMMENT *GEOMOBJECT {\n\t*NODE_NAME \"G\"\n}\n*COMMENT *LIGHTOBJECT {\n}\n" +
                             "*COMMENT *CAMERAOBJECT *CAMERAOBJECTS *GEOMOBJ *LIGHT *MATERIALS *SCENE_X 9\n" +
                             "*COMMENT *MESH_SMOOTHING 1 *MA *SC *GE\n*COMMENT *C\n*COMMENT *\n";
    const AseModel model = readText(text);
    EXPECT_EQ(model.ticksPerFrame, 80);
    ASSERT_EQ(model.materialCount, 2);
    EXPECT_EQ(model.objectCount, 1);
    EXPECT_EQ(model.lightCount, 1);
    EXPECT_EQ(model.cameraCount, 1);
    // The passes that skip lines do not see them: the material's index skips the rest of its
    // line, and the mesh-size walk passes over the comment that holds the object's start.
    EXPECT_STREQ(model.materials[0].name, "");
    EXPECT_STREQ(model.objects[0].name, "");
}

TEST(AseReader, HeaderValuesOnlyWhenPresent)
{
    AseModel before;
    before.ticksPerFrame = 7;
    before.firstFrame = 3;
    const AseModel model = readText(triangle("T", ""), before);
    EXPECT_EQ(model.ticksPerFrame, 7);
    EXPECT_EQ(model.firstFrame, 3);
    EXPECT_EQ(model.objectCount, 1);
}

TEST(AseReader, HostileCountsAndIndices)
{
    // Indices outside their tables are ignored, negative counts hold no entries, a count far
    // past what the file can hold is cut, and no mesh array is ever shorter than its count.
    const std::string text =
        "*MATERIAL_LIST {\n\t*MATERIAL_COUNT -4\n}\n"
        "*GEOMOBJECT {\n\t*MESH {\n\t\t*MESH_NUMVERTEX 2\n\t\t*MESH_NUMFACES -1\n"
        "\t\t*MESH_VERTEX 5\t1.0\t1.0\t1.0\n\t\t*MESH_VERTEX -1\t1.0\t1.0\t1.0\n"
        "\t\t*MESH_VERTEX 1\t1.0\t1.0\t1.0\n\t\t*MESH_FACE 0: A: 9 B: 9 C: 9\n"
        "\t\t*MESH_TVERT 0\t1.0\t1.0\t0.0\n\t\t*MESH_VERTEXNORMAL 0\t1.0\t0.0\t0.0\n\t}\n}\n"
        "*GEOMOBJECT {\n\t*MESH_NUMVERTEX 2000000000\n\t*MESH_NUMTVERTEX 99999999999\n}\n";
    const AseModel model = readText(text);
    EXPECT_EQ(model.materialCount, 0);
    ASSERT_EQ(model.objectCount, 2);
    const AseObject& o = model.objects[0];
    EXPECT_EQ(o.vertexCount, 2);
    EXPECT_EQ(o.faceCount, 0);
    EXPECT_TRUE(o.faces.empty());
    EXPECT_TRUE(o.texVertices.empty());
    EXPECT_TRUE(o.vertexNormals.empty());
    EXPECT_FLOAT_EQ(o.vertices[0].x, 0.0f);
    EXPECT_FLOAT_EQ(o.vertices[1].x, 1.0f);
    for (const AseObject& object : model.objects) {
        EXPECT_EQ(object.vertices.size(), static_cast<size_t>(object.vertexCount));
        EXPECT_EQ(object.texVertices.size(), static_cast<size_t>(object.texVertexCount));
        EXPECT_LE(object.vertexCount, static_cast<int>(text.size()));
    }

    // A count too large in one object cuts that object's table to what its own block can
    // hold; its faces and every other object load in full.
    std::string four;
    for (const char* name : {"A", "B", "C", "D"}) four += triangle(name, "");
    const size_t first = four.find("*MESH_NUMVERTEX 3");
    four.replace(first, 17, "*MESH_NUMVERTEX 99999999");
    const AseModel cut = readText(four);
    ASSERT_EQ(cut.objectCount, 4);
    EXPECT_LT(cut.objects[0].vertexCount, static_cast<int>(four.size() / 13 / 2));
    EXPECT_GE(cut.objects[0].vertexCount, 3);
    EXPECT_FLOAT_EQ(cut.objects[0].vertices[2].x, 7.0f);
    for (const AseObject& object : cut.objects) {
        EXPECT_EQ(object.faceCount, 1) << object.name;
        EXPECT_EQ(object.faces[0].v[2], 2) << object.name;
    }
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(cut.objects[i].vertexCount, 3);
        EXPECT_FLOAT_EQ(cut.objects[i].vertices[2].z, -8.0f);
    }
}

TEST(AseReader, NumbersConvertAsScanfDoes)
{
    // Each value goes through *MATERIAL_SHINE (" %f"); the stored value must be what scanf
    // stores for the same characters, and whatever scanf leaves unread must not be taken.
    const char* values[] = {"0.5",      "-1.25",  "+7",       "1e3",  "2.5E-2", ".75",   "3.",
                            "1.#QNAN0", "-1.#IND", "0x1.8p1", "1e",   "1e+",   "inf",   "-Infinity",
                            "3.4e39",   "1e-50",  "123456789012345678901234567890", "0.000001"};
    for (const char* value : values) {
        const std::string text = materialList(1, material(0, "N", std::string("\t\t*MATERIAL_SHINE ") + value + "\n"));
        const AseModel model = readText(text);
        float expected = 0.0f;
        std::sscanf(value, "%f", &expected);
        EXPECT_EQ(std::memcmp(&model.materials[0].shine, &expected, sizeof expected), 0)
            << value << ": " << model.materials[0].shine << " vs " << expected;
    }
    // "%i" takes hexadecimal and octal; "%d" stops at the letter.
    const AseModel hex = readText(materialList(0x11, "") + "*GEOMOBJECT {\n\t*MATERIAL_REF 0x10\n}\n");
    EXPECT_EQ(hex.materialCount, 17);
    EXPECT_EQ(hex.objects[0].materialRef, 16);
    const AseModel octal = readText("*MATERIAL_LIST {\n\t*MATERIAL_COUNT 010\n}\n");
    EXPECT_EQ(octal.materialCount, 8);
    // A failed conversion keeps the previous value.
    const AseModel failed = readText(materialList(1, material(0, "F", "\t\t*MATERIAL_SHINE\t-\n")));
    EXPECT_FLOAT_EQ(failed.materials[0].shine, 0.0f);
}

TEST(AseReader, MeshLineNumbersConvertAsScanfDoes)
{
    // Vertex, texture-vertex and face lines with numbers of every shape, each line followed by
    // plenty of text, against what sscanf stores for the same characters with the same formats.
    const char* reals[] = {"0.0000", "-0.0000", "12.3456", "-40.5", "7", "+7.25", "1e3", "2.5E-2", "1.5e",
                           "16777216", "16777217", "0.16777217", "123456789", "1234567890", "0.000000001",
                           "00012.5", ".5", "-.5", "5.", "0x1p3", "-", "inf", "nan", "4.2x",
                           "1677.7216", "1677.7217", "-99999.9999", "123456.1234", "0.12345", "12.34e2",
                           "1.2a45", "3.999:", "0.0/09"};
    for (const char* x : reals)
        for (const char* end : {"\n", "\r\n", "\t \n"}) {
            const std::string vertex = std::string("\t\t\t*MESH_VERTEX 0\t") + x + "\t" + x + "\t" + x + end;
            const std::string text = "*GEOMOBJECT {\n\t*MESH_NUMVERTEX 1\n\t*MESH_NUMTVERTEX 1\n" + vertex +
                                     "\t\t\t*MESH_TVERT 0 " + x + " " + x + end +
                                     "\t*COMMENT \"padding after the lines so the numbers are not at the end\"\n}\n";
            const AseModel model = readText(text);
            float expected[3] = {0, 0, 0};
            const int n = std::sscanf(vertex.c_str() + vertex.find('0') + 1, "%f %f %f", &expected[0], &expected[1],
                                      &expected[2]);
            // Stored as (x, z, -y); a field that does not convert keeps its 0.
            const Vector3& v = model.objects[0].vertices[0];
            const float got[3] = {v.x, v.z, v.y};
            const float want[3] = {n >= 1 ? expected[0] : 0.0f, n >= 2 ? -expected[1] : 0.0f, n >= 3 ? expected[2] : 0.0f};
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(std::memcmp(&got[i], &want[i], sizeof(float)), 0) << x << " field " << i << ": " << got[i];
            EXPECT_EQ(std::memcmp(&model.objects[0].texVertices[0].u, &expected[0], sizeof(float)), 0) << x;
        }

    // Face fields: decimal A, B, C; "%i" edges, smoothing group and material (octal, hex);
    // signs; fields cut short, missing or run together; tabs and CR line ends.
    const char* tails[] = {
        "A:    0 B:    1 C:    2 AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING 1 \t*MESH_MTLID 3",
        "A:\t-4\tB:\t+5\tC:\t2147483647 AB: 0x1 BC: 07 CA: 0\t*MESH_SMOOTHING 0x10\t*MESH_MTLID 010\r",
        "A: 9999999999 B: 08 C: 1 AB: 09 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID -0x2a",
        "A: 1 B: 2 C: 3 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1,2 *MESH_MTLID 3",
        "A: 1 B: 2 C: 3 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING *MESH_MTLID 3",
        "A: 1 B: 2 C: 3 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHIN 1 *MESH_MTLID 3",
        "A: 1 B: 2 C:",
        "A: 1 B: - C: 3",
        "A: 1 B:2C: 3 AB:1BC:1CA:1*MESH_SMOOTHING 1*MESH_MTLID 6",
        "A:1.5 B: 2 C: 3",
        "a: 1 B: 2 C: 3",
        "A: 5 B: 6 C: 7 AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID",
        "A: 0 B: 0 C: 0 AB: -0 BC: +0 CA: 0\t *MESH_SMOOTHING 0 \t*MESH_MTLID 0",
        "A: 1 B: 2 C: 3 AB: 0 BC: 0X1f CA: 00 *MESH_SMOOTHING 0x *MESH_MTLID 0",
        "A: 1 B: 2 C: 3 AB: 0 BC: 0 CA: 0*MESH_SMOOTHING 0 *MESH_MTLID 08",
    };
    for (const char* tail : tails) {
        const std::string text = std::string("*GEOMOBJECT {\n\t*MESH_NUMVERTEX 1\n\t*MESH_NUMFACES 1\n") +
                                 "\t\t\t*MESH_FACE    0:    " + tail + "\n\t\t\t*MESH_TFACE 0\t" + tail + "\n" +
                                 "\t*COMMENT \"padding after the lines so the numbers are not at the end\"\n}\n";
        const AseModel model = readText(text);
        int32_t v[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        const int n = std::sscanf(tail,
                                  "\tA:\t%d B:\t%d C:\t%d AB:    %i BC:    %i CA:    %i\t *MESH_SMOOTHING %i \t*MESH_MTLID %i",
                                  &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]);
        const AseFace& face = model.objects[0].faces[0];
        for (int i = 0; i < 3; ++i) EXPECT_EQ(face.v[i], i < n ? v[i] : 0) << tail << " corner " << i;
        EXPECT_EQ(face.materialId, n == 8 ? v[7] : 0) << tail;
        int32_t t[3] = {0, 0, 0};
        const int tn = std::sscanf(tail, "%d %d %d", &t[0], &t[1], &t[2]);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(face.t[i], i < std::max(tn, 0) ? t[i] : 0) << tail;
    }
}

TEST(AseReader, TextCutAnywhere)
{
    // Every prefix of a real file reads without trouble, the last token up against the end.
    const std::string text = std::string(sceneHeader) + materialList(1, material(0, "Cut", diffuseMap("c.tga", 2, 2))) +
                             triangle("Cut", positionSamples(sample(0, 0, 0, 0) + sample(320, 1, 0, 0)) + "\t*MATERIAL_REF 0\n") +
                             light("Omni01", true);
    for (size_t n = 0; n <= text.size(); n += 7) readText(text.substr(0, n));
    const AseModel whole = readText(text.substr(0, text.size() - 1));
    EXPECT_EQ(whole.lightCount, 1);
    EXPECT_FLOAT_EQ(whole.objects[0].texVertices[0].u, 1.0f);
}

TEST(AseReader, LineSkipTakesAtMost254Characters)
{
    // An unknown token skips at most 254 more characters; what lies beyond comes back as
    // tokens, whole when the cut falls on a blank and in pieces otherwise.
    auto shineAfter = [](size_t filler) {
        const std::string line = "\t\t*MAP_GENERIC " + std::string(filler, 'a') + " *MATERIAL_SHINE 0.5\n";
        return readText(materialList(1, material(0, "L", line))).materials[0].shine;
    };
    EXPECT_FLOAT_EQ(shineAfter(252), 0.5f);  // blank, 252 letters, blank: exactly 254
    EXPECT_FLOAT_EQ(shineAfter(251), 0.0f);  // the cut takes the '*'
    EXPECT_FLOAT_EQ(shineAfter(20), 0.0f);   // the whole rest of a short line is skipped
}

TEST(AseReader, FrameTablesFromKeys)
{
    const std::string samples = sample(0, 0, 1, 2) + sample(800, 10, 1, 2) + sample(1600, 30, 1, 2);
    const std::string rotation = "\t\t\t*CONTROL_ROT_SAMPLE 0\t0.0000\t0.0000\t1.0000\t3.1415927\n"
                                 "\t\t\t*CONTROL_ROT_SAMPLE 1600\t0.0000\t0.0000\t1.0000\t0.0000\n";
    const AseModel model = readText(std::string(sceneHeader) + triangle("Anim", positionSamples(samples, rotation)));
    const AnimTrack& a = model.objects[0].anim;
    ASSERT_EQ(a.posKeyCount, 3);
    ASSERT_EQ(a.rotKeyCount, 2);
    EXPECT_EQ(a.posKeys[1].time, 800);
    const float expected[] = {0, 2, 4, 6, 8, 10, 14, 18, 22, 26};
    ASSERT_EQ(a.posFrames.size(), 10u);
    for (size_t k = 0; k < 10; ++k) EXPECT_FLOAT_EQ(a.posFrames[k].x, expected[k]) << k;
    EXPECT_FLOAT_EQ(a.posFrames[9].y, 1.0f);
    ASSERT_EQ(a.rotFrames.size(), 10u);
    EXPECT_FLOAT_EQ(a.rotFrames[0].angle, 180.0f);
    EXPECT_FLOAT_EQ(a.rotFrames[5].angle, 90.0f);
    EXPECT_FLOAT_EQ(a.rotFrames[5].z, 1.0f);

    // Two objects of one name: the first one's tables are built (twice), the second gets none,
    // however the objects were read.
    const AseModel twins = readText(std::string(sceneHeader) + triangle("Twin", positionSamples(samples)) +
                                    triangle("Twin", positionSamples(sample(0, 5, 5, 5) + sample(320, 7, 7, 7))));
    ASSERT_EQ(twins.objectCount, 2);
    EXPECT_EQ(twins.objects[0].anim.posFrames.size(), 10u);
    EXPECT_EQ(twins.objects[1].anim.posKeyCount, 2);
    EXPECT_TRUE(twins.objects[1].anim.posFrames.empty());
}

TEST(AseReader, KeyLinesFillTheirTabledFields)
{
    const std::string bezier =
        "\t*TM_ANIMATION {\n\t\t*NODE_NAME \"B\"\n\t\t*CONTROL_POS_TRACK {\n"
        "\t\t\t*CONTROL_BEZIER_POS_KEY 0\t1.0\t2.0\t3.0\t4.0\t5.0\t6.0\t7.0\t8.0\t9.0\t1\n"
        "\t\t\t*CONTROL_BEZIER_POS_KEY 0x140\t1.0\t2.0\n"
        "\t\t}\n\t\t*CONTROL_ROT_TRACK {\n"
        "\t\t\t*CONTROL_TCB_ROT_KEY 0\t0.0\t1.0\t0.0\t1.5\t25.0\t0.0\t0.0\t0.0\t0.0\n"
        "\t\t}\n\t}\n";
    const AseModel model = readText(std::string(sceneHeader) + triangle("B", bezier));
    const AnimTrack& a = model.objects[0].anim;
    ASSERT_EQ(a.posKeyCount, 2);
    ASSERT_EQ(a.rotKeyCount, 1);
    const AnimKey& k = a.posKeys[0];
    EXPECT_FLOAT_EQ(k.value[2], 3.0f);
    EXPECT_FLOAT_EQ(k.params[3], 4.0f);
    EXPECT_FLOAT_EQ(k.params[5], 6.0f);
    EXPECT_FLOAT_EQ(k.params[0], 7.0f);
    EXPECT_FLOAT_EQ(k.params[2], 9.0f);
    EXPECT_EQ(k.flags, 1);
    EXPECT_EQ(a.posKeys[1].time, 320);         // "%i" takes hexadecimal
    EXPECT_FLOAT_EQ(a.posKeys[1].value[1], 2.0f);
    EXPECT_FLOAT_EQ(a.posKeys[1].value[2], 0.0f);  // short line: the rest stays unset
    EXPECT_FLOAT_EQ(a.rotKeys[0].params[3], 1.5f);
    EXPECT_FLOAT_EQ(a.rotKeys[0].params[4], 25.0f);
    EXPECT_EQ(a.posFrames.size(), 2u);
    EXPECT_FLOAT_EQ(a.posFrames[1].x, 1.0f);
    // One rotation key: a table of no entries.
    EXPECT_TRUE(a.rotFrames.empty());
}

TEST(AseReader, TracksTheWalkCannotFollowHoldTheirFirstKey)
{
    struct Case {
        const char* what;
        std::string samples;
        int ticks;
        size_t entries;
    } cases[] = {
        {"first key after 0", sample(320, 5, 0, 0) + sample(1600, 9, 0, 0), 160, 8},
        {"two keys in a frame", sample(0, 5, 0, 0) + sample(10, 7, 0, 0) + sample(800, 9, 0, 0), 160, 5},
        {"keys out of order", sample(0, 5, 0, 0) + sample(1600, 7, 0, 0) + sample(800, 9, 0, 0), 160, 5},
        {"no ticks per frame", sample(0, 5, 0, 0) + sample(1600, 9, 0, 0), 0, 0},
        {"negative ticks", sample(0, 5, 0, 0) + sample(-1600, 9, 0, 0), -160, 10},
    };
    for (const Case& c : cases) {
        const std::string text = "*SCENE {\n\t*SCENE_TICKSPERFRAME " + std::to_string(c.ticks) + "\n}\n" +
                                 triangle("H", positionSamples(c.samples));
        const AseModel model = readText(text);
        const AnimTrack& a = model.objects[0].anim;
        ASSERT_EQ(a.posFrames.size(), c.entries) << c.what;
        for (const Vector3& p : a.posFrames) EXPECT_FLOAT_EQ(p.x, 5.0f) << c.what;
    }
    // One key two billion ticks away at one tick a frame: the table is cut to the model's
    // memory budget (a fixed part plus 32 bytes per file byte) and the read says so.
    const std::string huge = "*SCENE {\n\t*SCENE_TICKSPERFRAME 1\n}\n" +
                             triangle("H", positionSamples(sample(0, 0, 0, 0) + sample(2000000000, 1, 0, 0)));
    AseReadOptions options;
    options.loadTextures = false;
    AseModel big;
    EXPECT_EQ(loadAseModelWith(huge.data(), huge.size(), big, options), AseReadCut);
    const size_t bytes = big.objects[0].anim.posFrames.size() * sizeof(Vector3);
    EXPECT_GT(bytes, size_t(aseFixedModelBytes) / 2);
    EXPECT_LE(bytes, size_t(aseFixedModelBytes + aseModelBytesPerFileByte * int64_t(huge.size())));
    const std::string sound = std::string(sceneHeader) + triangle("S", positionSamples(sample(0, 0, 0, 0) + sample(320, 1, 0, 0)));
    AseModel small;
    EXPECT_EQ(loadAseModelWith(sound.data(), sound.size(), small, options), AseReadWhole);
}

TEST(AseReader, LightsAndCameras)
{
    const std::string samples = positionSamples(sample(0, 0, 0, 0) + sample(320, 2, 0, 0));
    const std::string camera =
        "*CAMERAOBJECT {\n\t*NODE_NAME \"Camera01\"\n\t*CAMERA_TYPE Target\n" + nodeTm("Camera01", "1.0\t2.0\t3.0") +
        nodeTm("Camera01.Target", "0.0\t0.0\t0.0") +
        "\t*CAMERA_SETTINGS {\n\t\t*TIMEVALUE 0\n\t\t*CAMERA_NEAR 0.0000\n\t\t*CAMERA_FAR 1000.0000\n"
        "\t\t*CAMERA_FOV 0.7854\n\t\t*CAMERA_TDIST 160.0\n\t}\n}\n"
        "*CAMERAOBJECT {\n\t*NODE_NAME \"Camera02\"\n\t*CAMERA_SETTINGS {\n\t\t*CAMERA_NEAR 1.0000\n\t}\n}\n";
    const std::string text = std::string(sceneHeader) + triangle("Only", "") + light("Spot01", true, samples) +
                             light("Omni01", false, samples) + camera;
    const AseModel model = readText(text);
    ASSERT_EQ(model.lightCount, 2);
    ASSERT_EQ(model.cameraCount, 2);
    const AseLight& spot = model.lights[0];
    EXPECT_EQ(spot.hasTarget, 1);
    EXPECT_STREQ(spot.name, "Spot01.Target");
    EXPECT_FLOAT_EQ(spot.position[2], 3.0f);
    EXPECT_FLOAT_EQ(spot.position[3], 0.0f);
    EXPECT_FLOAT_EQ(spot.target[1], 6.0f);
    EXPECT_FLOAT_EQ(spot.color[1], 0.5f);
    EXPECT_FLOAT_EQ(spot.color[3], 1.0f);
    EXPECT_FLOAT_EQ(spot.intensity, 0.75f);
    EXPECT_FLOAT_EQ(spot.falloff, 45.0f);
    EXPECT_EQ(model.lights[1].hasTarget, 0);
    // More lights than objects: every light gets its tables.
    EXPECT_EQ(model.lights[0].anim.posFrames.size(), 2u);
    EXPECT_EQ(model.lights[1].anim.posFrames.size(), 2u);
    EXPECT_FLOAT_EQ(model.lights[1].anim.posFrames[1].x, 1.0f);

    const AseCamera& c = model.cameras[0];
    EXPECT_STREQ(c.name, "Camera01.Target");
    EXPECT_FLOAT_EQ(c.position[1], 2.0f);
    EXPECT_FLOAT_EQ(c.target[0], 0.0f);
    EXPECT_FLOAT_EQ(c.nearPlane, 0.001f);
    EXPECT_FLOAT_EQ(c.farPlane, 1000.0f);
    EXPECT_FLOAT_EQ(c.fov, 0.7854f);
    EXPECT_FLOAT_EQ(c.targetDistance, 160.0f);
    EXPECT_FLOAT_EQ(model.cameras[1].nearPlane, 1.0f);
}

TEST(AseReader, MissingFileAndRelease)
{
    AseModel model;
    model.ticksPerFrame = 5;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(loadAseModel("no/such/model.ase", model), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "# no/such/model.ase not found!\n");
    EXPECT_EQ(model.objectCount, 0);
    EXPECT_EQ(model.ticksPerFrame, 5);
    releaseAseModel(model);
    EXPECT_TRUE(model.objects.empty());

    const std::string path = std::string(::testing::TempDir()) + "release.ase";
    std::ofstream(path) << materialList(1, material(0, "R", "")) << triangle("R", "\t*MATERIAL_REF 0\n");
    ASSERT_EQ(loadAseModel(path.c_str(), model), 1);
    ASSERT_EQ(model.objects[0].vertexCount, 3);
    releaseAseModel(model);
    EXPECT_TRUE(model.objects[0].vertices.empty());
    EXPECT_EQ(model.objects[0].vertexCount, 0);
    EXPECT_EQ(model.objects[0].faceCount, 0);
    EXPECT_TRUE(model.materials.empty());
    EXPECT_EQ(model.materialCount, 0);
    EXPECT_STREQ(model.objects[0].name, "R");
}

TEST(AseReader, BitmapsFoundBesideTheModel)
{
    const std::string dir = std::string(::testing::TempDir()) + "ase_bitmaps/";
    std::remove((dir + "Wall.tga").c_str());
    ::mkdir(dir.c_str(), 0755);
    std::ofstream(dir + "Wall.tga") << "not really a picture";
    const std::string model = dir + "room.ase";
    // As written first; then the file name beside the model, matched without case; else as written.
    EXPECT_EQ(resolveBitmapPath((dir + "Wall.tga").c_str(), model.c_str()), dir + "Wall.tga");
    EXPECT_EQ(resolveBitmapPath("C:\\3dsmax\\maps\\wall.tga", model.c_str()), dir + "Wall.tga");
    EXPECT_EQ(resolveBitmapPath("/elsewhere/maps/WALL.TGA", model.c_str()), dir + "Wall.tga");
    EXPECT_EQ(resolveBitmapPath("C:\\maps\\other.tga", model.c_str()), "C:\\maps\\other.tga");
    EXPECT_EQ(resolveBitmapPath("C:\\maps\\wall.tga", nullptr), "C:\\maps\\wall.tga");
    EXPECT_EQ(resolveBitmapPath("", model.c_str()), "");
}
