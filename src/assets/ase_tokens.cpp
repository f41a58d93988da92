// The ASE keywords the reader acts on, and the hash table that finds them.
//
// The table is built once at start-up: seeds are tried until every keyword hashes to a slot of
// its own, so classifying a token costs one hash and one comparison. Should no seed spread
// them (a keyword added that collides everywhere), classify falls back to comparing with each.
#include "assets/ase_tokens.h"

namespace ase {

const KeywordName keywordNames[keywordCount] = {
    {"*GEOMOBJECT", KwGeomObject},
    {"*LIGHTOBJECT", KwLightObject},
    {"*CAMERAOBJECT", KwCameraObject},
    {"*SHAPEOBJECT", KwShapeObject},
    {"*MATERIAL_COUNT", KwMaterialCount},
    {"*SCENE_FIRSTFRAME", KwSceneFirstFrame},
    {"*SCENE_LASTFRAME", KwSceneLastFrame},
    {"*SCENE_FRAMESPEED", KwSceneFrameSpeed},
    {"*SCENE_TICKSPERFRAME", KwSceneTicksPerFrame},
    {"*MESH_NUMVERTEX", KwMeshNumVertex},
    {"*MESH_NUMFACES", KwMeshNumFaces},
    {"*MESH_NUMTVERTEX", KwMeshNumTVertex},
    {"*MESH_NUMTVFACES", KwMeshNumTVFaces},
    {"*MESH_NORMALS", KwMeshNormals},
    {"*MATERIAL_REF", KwMaterialRef},
    {"*NODE_NAME", KwNodeName},
    {"*MATERIAL", KwMaterial},
    {"*MATERIAL_NAME", KwMaterialName},
    {"*MATERIAL_CLASS", KwMaterialClass},
    {"*MATERIAL_AMBIENT", KwMaterialAmbient},
    {"*MATERIAL_DIFFUSE", KwMaterialDiffuse},
    {"*MATERIAL_SPECULAR", KwMaterialSpecular},
    {"*MATERIAL_SHINE", KwMaterialShine},
    {"*MATERIAL_SHINESTRENGTH", KwMaterialShineStrength},
    {"*MATERIAL_TRANSPARENCY", KwMaterialTransparency},
    {"*MATERIAL_WIRESIZE", KwMaterialWireSize},
    {"*MATERIAL_SELFILLUM", KwMaterialSelfIllum},
    {"*BITMAP", KwBitmap},
    {"*UVW_U_TILING", KwUTiling},
    {"*UVW_V_TILING", KwVTiling},
    {"*UVW_U_OFFSET", KwUOffset},
    {"*UVW_V_OFFSET", KwVOffset},
    {"*MESH_VERTEX", KwMeshVertex},
    {"*MESH_TVERT", KwMeshTVert},
    {"*MESH_VERTEXNORMAL", KwMeshVertexNormal},
    {"*MESH_FACENORMAL", KwMeshFaceNormal},
    {"*MESH_FACE", KwMeshFace},
    {"*MESH_TFACE", KwMeshTFace},
    {"*TM_ANIMATION", KwTmAnimation},
    {"*TM_POS", KwTmPos},
    {"*WIREFRAME_COLOR", KwWireframeColor},
    {"*TM_ROTAXIS", KwTmRotAxis},
    {"*CONTROL_BEZIER_POS_KEY", KwBezierPosKey},
    {"*CONTROL_POS_SAMPLE", KwPosSample},
    {"*CONTROL_ROT_KEY", KwRotKey},
    {"*CONTROL_TCB_ROT_KEY", KwTcbRotKey},
    {"*CONTROL_ROT_SAMPLE", KwRotSample},
    {"*LIGHT_COLOR", KwLightColor},
    {"*LIGHT_INTENS", KwLightIntens},
    {"*LIGHT_FALLOFF", KwLightFalloff},
    {"*CAMERA_NEAR", KwCameraNear},
    {"*CAMERA_FAR", KwCameraFar},
    {"*CAMERA_FOV", KwCameraFov},
    {"*CAMERA_TDIST", KwCameraTDist},
};

KeywordTable::KeywordTable()
{
    for (size_t i = 0; i < keywordCount; ++i) {
        length[i] = static_cast<uint8_t>(std::strlen(keywordNames[i].text));
        words[i] = keywordWords(keywordNames[i].text, length[i]);
    }
    uint64_t candidate = 0x165667B19E3779F9ull;
    for (int attempt = 0; attempt < 4096 && !hashed; ++attempt, candidate += 0x27D4EB2F165667C6ull) {
        seed = candidate | 1;
        std::memset(slot, -1, sizeof slot);
        hashed = true;
        for (size_t i = 0; i < keywordCount && hashed; ++i) {
            int8_t& entry = slot[keywordHash(words[i], length[i], seed)];
            hashed = entry < 0;
            entry = static_cast<int8_t>(i);
        }
    }
}

const KeywordTable keywordTable;

}  // namespace ase
