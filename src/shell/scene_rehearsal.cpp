// Scene rehearsal: every scene, in the order the demo plays them, draws its first and last
// frames once, unseen, at the times it starts and ends.
//
// Each scene's rehearsal meets the state the scene before it leaves at its end (the temple the
// intro's viewport, the credits and end the tunnel's fog), so the combinations met are those of
// the real cuts: played in order that state is simply there; a cut met on its own, between two
// of the intro's frames, first rehearses the scene before it again, which compiles nothing
// new. The frames are drawn into a one-pixel scissor box: what is compiled does not depend on
// it, and the software renderer then fills next to nothing, so the time spent is the
// compilations' alone.
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
// A scene and the times of its first and last frames: a hair after its cut, where its fade-in
// and flash are under way, and a hair before the next. Between them, times where a scene brings
// in a kind of drawing its first and last frames lack, reached with the time in between passing.
struct SceneCut {
    const Scene* scene;
    float first, last;
    float inner[3];  // ascending; 0 where unused
};
constexpr float after = 0.05f, before = 0.05f;
const SceneCut sceneCuts[] = {
    // The intro's landscape a second in, its flash, and its logo and credit in the last leg.
    {&introScene, after, introLegEnds[3] - before, {1.5f, 5.25f, introLegEnds[2] + 0.5f}},
    {&templeScene, introLegEnds[3] + after, templeLegEnds[3] - before, {}},
    {&tunnelScene, templeLegEnds[3] + after, tunnelLegEnds[2] - before, {}},
    {&creditsScene, tunnelLegEnds[2] + after, creditsEndTime - before, {}},
    {&endScene, creditsEndTime + after, endSceneEndTime - before, {}},
};
constexpr int sceneCutCount = sizeof sceneCuts / sizeof sceneCuts[0];
// The next cut continueRehearsal meets; sceneCutCount once all are met.
int nextCut = sceneCutCount;

// One frame of the scene at time t, as if the frame before it had been drawn at `previous`.
void drawAt(const Scene& scene, float previous, float t)
{
    demoState.previousFrameTime = previous;
    scene.draw(t);
    demoState.sceneDone = false;
}

// The scene's init, one draw at its first time, one at each inner time and one at its last, so
// that the next scene's rehearsal starts from the state a real cut leaves; no time passes
// before the first and the last. Its own cleanup is not run: the temple's and tunnel's release
// their models, which the real run still needs; the font the init made is deleted here instead.
void rehearse(const SceneCut& cut)
{
    demoState.sceneDone = false;
    cut.scene->init();
    drawAt(*cut.scene, cut.first, cut.first);
    float previous = cut.first;
    for (float t : cut.inner) {
        if (t <= previous) break;
        drawAt(*cut.scene, previous, t);
        previous = t;
    }
    drawAt(*cut.scene, cut.last, cut.last);
    deleteOutlineFont();
}

// Runs `meet` with every record the inits and draws can change, the font and the OpenGL state
// kept aside, and everything put back afterwards.
template <typename Meet>
void unseen(Meet meet)
{
    const DemoState savedDemo = demoState;
    const IntroState savedIntro = introState;
    const TempleState savedTemple = templeState;
    const TunnelState savedTunnel = tunnelState;
    const CreditsState savedCredits = creditsState;
    const EndState savedEnd = endState;
    const OutlineFont savedFont = outlineFont;
    outlineFont = OutlineFont{};  // the inits make their own; the one in use is not deleted
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
    // The temple's words are not drawn while their opacity is 0, as all are at the cut: the
    // first is made faintly visible so that their blended program is met too.
    templeState.wordAlpha[0] = 1.0f / 256.0f;
    meet();
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
    outlineFont = savedFont;
}
}  // namespace

void rehearseScenes()
{
    nextCut = sceneCutCount;
    unseen([] {
        for (const SceneCut& cut : sceneCuts) rehearse(cut);
    });
}

void scheduleRehearsal() { nextCut = 0; }

void continueRehearsal()
{
    if (nextCut >= sceneCutCount) return;
    const int k = nextCut++;
    unseen([k] {
        // The intro's later frames on their own, then each cut after the scene before it, as
        // far as its end, has left the state of the real cut.
        if (k > 0) rehearse(sceneCuts[k - 1]);
        rehearse(sceneCuts[k]);
    });
}
