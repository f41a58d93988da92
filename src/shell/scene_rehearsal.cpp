// Scene rehearsal: the temple scene draws its first frame once, unseen, at the time it starts.
// It is the one scene whose first frame needs programs the renderer has not met before and
// takes long to compile (lit, fogged and textured, about 20 ms); every other scene starts
// within about 15 ms of its cut as it is, and rehearsing it would only lengthen start-up by
// the font its init builds.
#include "shell/scene_rehearsal.h"

#include <GL/gl.h>

#include "core/demo_state.h"
#include "render/outline_font.h"
#include "scenes/intro_scene.h"
#include "scenes/temple_scene.h"

namespace {
// The scene's init and one draw at time t, as its first frame after a cut, with no time passed
// since the frame before. Its own cleanup is not run: the temple's releases its model, which the
// real run still needs; the font the init made is deleted here instead.
void rehearse(const Scene& scene, float t)
{
    demoState.previousFrameTime = t;
    demoState.sceneDone = false;
    demoState.showTime = false;
    demoState.showFps = false;
    scene.init();
    scene.draw(t);
    deleteOutlineFont();
}
}  // namespace

void rehearseScenes()
{
    // The records the temple's init and draw can change, as they were.
    const DemoState savedDemo = demoState;
    const TempleState savedTemple = templeState;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // A hair after the cut, where the scene's fade-in and flash are under way.
    constexpr float after = 0.05f;
    // The words are not drawn while their opacity is 0, as all are at the cut: the first is
    // made faintly visible so that their blended program is compiled here too, not at 36 s.
    templeState.wordAlpha[0] = 1.0f / 256.0f;
    rehearse(templeScene, introLegEnds[3] + after);
    glFinish();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    demoState = savedDemo;
    templeState = savedTemple;
}
