// Scene rehearsal: every scene, in the order the demo plays them, draws its first and last
// frames once, unseen, at the times it starts and ends.
//
// With an empty shader cache (a first run, a new user, a read-only home) the renderer compiles
// each new combination of drawing state when it first meets it: tens of milliseconds for a lit,
// fogged, textured scene, and a cut to a scene of new combinations stalled by 70 to 110 ms.
// Played in order, each scene's rehearsal meets the state the scene before it leaves at its
// end (the temple the intro's viewport, the credits and end the tunnel's fog), so the
// combinations met are those of the real cuts. The frames are drawn into a one-pixel scissor box: what is
// compiled does not depend on it, and the software renderer then fills next to nothing, so
// start-up grows by the compilations alone.
#include "shell/scene_rehearsal.h"

#include <GL/gl.h>

#include "core/demo_state.h"
#include "render/outline_font.h"
#include "scenes/credits_scene.h"
#include "scenes/end_scene.h"
#include "scenes/intro_scene.h"
#include "scenes/temple_scene.h"
#include "scenes/tunnel_scene.h"

namespace {
// The scene's init, one draw at time first, as its first frame after a cut, and one at time
// last, its last frame before the next cut, so that the next scene's rehearsal starts from the
// state a real cut leaves; no time passes between them. Its own cleanup is not run: the
// temple's and tunnel's release their models, which the real run still needs; the font the
// init made is deleted here instead.
void rehearse(const Scene& scene, float first, float last)
{
    demoState.previousFrameTime = first;
    demoState.sceneDone = false;
    scene.init();
    scene.draw(first);
    demoState.previousFrameTime = last;
    scene.draw(last);
    demoState.sceneDone = false;
    deleteOutlineFont();
}
}  // namespace

void rehearseScenes()
{
    // The records the inits and draws can change, as they were.
    const DemoState savedDemo = demoState;
    const IntroState savedIntro = introState;
    const TempleState savedTemple = templeState;
    const TunnelState savedTunnel = tunnelState;
    const CreditsState savedCredits = creditsState;
    const EndState savedEnd = endState;
    demoState.showTime = false;
    demoState.showFps = false;
    demoState.playState = Playing;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // The scissor box is part of the attributes pushed above; no scene sets one of its own.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    // A hair after each cut, where the scene's fade-in and flash are under way, and a hair
    // before the next.
    constexpr float after = 0.05f, before = 0.05f;
    rehearse(introScene, after, introLegEnds[3] - before);
    // The temple's words are not drawn while their opacity is 0, as all are at the cut: the
    // first is made faintly visible so that their blended program is compiled here too.
    templeState.wordAlpha[0] = 1.0f / 256.0f;
    rehearse(templeScene, introLegEnds[3] + after, templeLegEnds[3] - before);
    rehearse(tunnelScene, templeLegEnds[3] + after, tunnelLegEnds[2] - before);
    rehearse(creditsScene, tunnelLegEnds[2] + after, creditsEndTime - before);
    rehearse(endScene, creditsEndTime + after, endSceneEndTime - before);
    glFinish();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    demoState = savedDemo;
    introState = savedIntro;
    templeState = savedTemple;
    tunnelState = savedTunnel;
    creditsState = savedCredits;
    endState = savedEnd;
}
