// Scene rehearsal: the temple and tunnel scenes each draw their first frame once, unseen, at the
// time they start. They are the scenes that light, fog and texture their models, whose programs
// take the renderer tens of milliseconds to compile; the credits and end scenes start within a
// few milliseconds of their cut as they are, and rehearsing them would only lengthen start-up
// by the font each init builds.
#include "shell/scene_rehearsal.h"

#include <GL/gl.h>

#include "render/outline_font.h"
#include "scenes/credits_scene.h"
#include "scenes/end_scene.h"
#include "scenes/intro_scene.h"
#include "scenes/temple_scene.h"
#include "scenes/tunnel_scene.h"
#include "shell/demo_state.h"

namespace {
// Everything a scene's init and draw change, as it was before the rehearsal.
struct SavedRecords {
    DemoState demo = demoState;
    IntroState intro = introState;
    TempleState temple = templeState;
    TunnelState tunnel = tunnelState;
    CreditsState credits = creditsState;
    EndState end = endState;
};

void restore(const SavedRecords& saved)
{
    demoState = saved.demo;
    introState = saved.intro;
    templeState = saved.temple;
    tunnelState = saved.tunnel;
    creditsState = saved.credits;
    endState = saved.end;
}

// The scene's init and one draw at time t, as its first frame after a cut, with no time passed
// since the frame before. Its own cleanup is not run: the temple's and tunnel's release their
// models, which the real run still needs; the font the init made is deleted here instead.
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
    const SavedRecords saved;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // A hair after each cut, where the scene's fades and flashes are under way.
    constexpr float after = 0.05f;
    rehearse(templeScene, introLegEnds[3] + after);
    rehearse(tunnelScene, templeLegEnds[3] + after);
    glFinish();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    restore(saved);
}
