// ASE block passes for materials and geometry objects: each reads the n-th block of its kind
// from where the counting pass found it starts, acting on the keywords it knows and skipping
// the rest of every other line, until the next block of its kind (a material) or the next
// node keyword (a geometry object).
//
// Values land only in entries that exist: an index outside its table is read and dropped.
#include "assets/ase_passes.h"

#include "assets/ase_numbers.h"

namespace ase {

void readMaterial(Reader& r, AseMaterial& material, int n)
{
    const char* from = nullptr;
    if (!blockStart(r.starts.materials, n, from)) return;
    Walk w(r.text, from, blockStop(r.starts.materials, n, sizeof "*MATERIAL" - 1));
    Cursor& c = w.c;
    Keyword k = KwNone;
    // The last block runs to the end of the file, so the lines of every other keyword are
    // stepped over as a whole wherever the index allows it.
    constexpr uint64_t wanted =
        keywordBit(KwMaterial) | keywordBit(KwMaterialName) | keywordBit(KwMaterialClass) |
        keywordBit(KwMaterialAmbient) | keywordBit(KwMaterialDiffuse) | keywordBit(KwMaterialSpecular) |
        keywordBit(KwMaterialShine) | keywordBit(KwMaterialShineStrength) | keywordBit(KwMaterialTransparency) |
        keywordBit(KwMaterialWireSize) | keywordBit(KwMaterialSelfIllum) | keywordBit(KwBitmap) |
        keywordBit(KwUTiling) | keywordBit(KwVTiling) | keywordBit(KwUOffset) | keywordBit(KwVOffset);
    while (w.nextWanted(k, wanted)) {
        if (k == KwMaterial) return;
        switch (k) {
        case KwMaterialName: readQuoted(c, material.name); break;
        case KwMaterialClass: readQuoted(c, material.className); break;
        case KwMaterialAmbient: readTriple(c, material.ambient); break;
        case KwMaterialDiffuse: readTriple(c, material.diffuse); break;
        case KwMaterialSpecular: readTriple(c, material.specular); break;
        case KwMaterialShine: readFloat(c, material.shine); break;
        case KwMaterialShineStrength: readFloat(c, material.shineStrength); break;
        case KwMaterialTransparency: readFloat(c, material.transparency); break;
        case KwMaterialWireSize: readFloat(c, material.wireSize); break;
        case KwMaterialSelfIllum: readFloat(c, material.selfIllum); break;
        case KwBitmap:
            readQuoted(c, material.bitmap);
            material.texture = nextMaterialTexture();
            material.hasBitmap = 1;
            break;
        case KwUTiling: readFloat(c, material.uTiling); break;
        case KwVTiling: readFloat(c, material.vTiling); break;
        case KwUOffset: readFloat(c, material.uOffset); break;
        case KwVOffset: readFloat(c, material.vOffset); break;
        default: w.skipLine(); break;
        }
    }
}

void readGeometryObject(Reader& r, AseObject& object, const AseMaterial* material, int n)
{
    const char* from = nullptr;
    if (!blockStart(r.starts.objects, n, from)) return;
    Walk w(r.text, from, blockStop(r.starts.objects, n, sizeof "*GEOMOBJECT" - 1));
    Cursor& c = w.c;
    Keyword k = KwNone;
    while (w.next(k)) {
        if (endsNode(k)) return;
        int32_t index = 0;
        switch (k) {
        case KwMeshVertex: {
            const bool indexRead = scanInt(c, false, index);
            readRendererTriple(c, entryAt(object.vertices, indexRead, index));
            break;
        }
        case KwMeshVertexNormal: {
            const bool indexRead = scanInt(c, false, index);
            readRendererTriple(c, entryAt(object.vertexNormals, indexRead, index));
            break;
        }
        case KwMeshFaceNormal: {
            const bool indexRead = scanInt(c, false, index);
            AseFace* face = entryAt(object.faces, indexRead, index);
            readRendererTriple(c, face ? &face->normal : nullptr);
            break;
        }
        case KwMeshTVert: {
            const bool indexRead = scanInt(c, false, index);
            float v[2] = {0, 0};
            const int got = scanFloats(c, v, 2);  // "%f %f"
            TexVertex* vertex = entryAt(object.texVertices, indexRead, index);
            if (!vertex) break;
            // Without a material the coordinates are kept as written.
            const float uScale = material ? material->uTiling : 1.0f;
            const float vScale = material ? material->vTiling : 1.0f;
            if (got >= 1) vertex->u = v[0] * uScale;
            if (got >= 2) vertex->v = v[1] * vScale;
            break;
        }
        case KwMeshFace: {
            const bool indexRead = scanIndexColon(c, index);
            int32_t values[8] = {};  // A, B, C, AB, BC, CA, smoothing, material
            const int got = scanFaceFields(c, values);
            AseFace* face = entryAt(object.faces, indexRead, index);
            if (!face) break;
            for (int i = 0; i < got && i < 3; ++i) face->v[i] = values[i];
            if (got >= 8) face->materialId = values[7];
            break;
        }
        case KwMeshTFace: {
            const bool indexRead = scanIndexColon(c, index);
            int32_t t[3] = {0, 0, 0};
            int got = 0;
            while (got < 3 && scanInt(c, false, t[got])) ++got;  // "%d %d %d"
            AseFace* face = entryAt(object.faces, indexRead, index);
            if (!face) break;
            for (int i = 0; i < got; ++i) face->t[i] = t[i];
            break;
        }
        case KwTmAnimation: readAnimTrack(r, c, object.anim); break;
        case KwTmPos: readTriple(c, object.pivot); break;
        case KwWireframeColor: readTriple(c, object.wireColor); break;
        default: w.skipLine(); break;
        }
    }
}

}  // namespace ase
