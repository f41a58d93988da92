// ASE light and camera passes: each reads the n-th *LIGHTOBJECT or *CAMERAOBJECT block up to
// the next node keyword. The first *TM_POS of a block is the node's position and any later one
// its target's (a target node's transform follows its light or camera in the export).
#include "assets/ase_passes.h"

#include "assets/ase_numbers.h"

namespace ase {

void readLight(Reader& r, AseLight& light, int n)
{
    const char* from = nullptr;
    if (!blockStart(r.starts.lights, n, from)) return;
    Walk w(r.text, from, blockStop(r.starts.lights, n, sizeof "*LIGHTOBJECT" - 1));
    Cursor& c = w.c;
    int positions = 0;
    Keyword k = KwNone;
    while (w.next(k)) {
        if (endsNode(k)) return;
        switch (k) {
        case KwTmPos:
            if (positions++ == 0) {
                readTriple(c, light.position);
            } else {
                readTriple(c, light.target);
                light.hasTarget = 1;
            }
            break;
        case KwLightColor: readTriple(c, light.color); break;
        case KwLightIntens: readFloat(c, light.intensity); break;
        case KwLightFalloff: readFloat(c, light.falloff); break;
        case KwTmAnimation: readAnimTrack(r, c, light.anim); break;
        case KwNodeName: readQuoted(c, light.name); break;
        default: w.skipLine(); break;
        }
    }
}

void readCamera(Reader& r, AseCamera& camera, int n)
{
    const char* from = nullptr;
    if (!blockStart(r.starts.cameras, n, from)) return;
    Walk w(r.text, from, blockStop(r.starts.cameras, n, sizeof "*CAMERAOBJECT" - 1));
    Cursor& c = w.c;
    int positions = 0;
    Keyword k = KwNone;
    while (w.next(k)) {
        if (endsNode(k)) return;
        switch (k) {
        case KwTmPos: readTriple(c, positions++ == 0 ? camera.position : camera.target); break;
        case KwTmRotAxis: readTriple(c, camera.rotAxis); break;
        case KwCameraNear:
            readFloat(c, camera.nearPlane);
            if (camera.nearPlane == 0.0f) camera.nearPlane = 0.001f;
            break;
        case KwCameraFar: readFloat(c, camera.farPlane); break;
        case KwCameraFov: readFloat(c, camera.fov); break;
        case KwCameraTDist: readFloat(c, camera.targetDistance); break;
        case KwNodeName: readQuoted(c, camera.name); break;
        case KwTmAnimation: readAnimTrack(r, c, camera.anim); break;
        default: w.skipLine(); break;
        }
    }
}

}  // namespace ase
