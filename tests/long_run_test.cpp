// A long session of the preview controls on the virtual clock: every scene, loaded from the
// data pack, is played, rewound far below zero and fast-forwarded well past the demo's end,
// about an hour of demo time in all. Every value a scene carries from frame to frame must stay
// finite, and the process must not grow while a scene is being scrubbed.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <type_traits>

#include "core/demo_state.h"
#include "scenes/credits_scene.h"
#include "scenes/end_scene.h"
#include "scenes/intro_scene.h"
#include "scenes/temple_scene.h"
#include "scenes/tunnel_scene.h"
#include "support/gl_context.h"
#include "support/late_scene_frames.h"

namespace {
// Every scene state is made of 32-bit floats and ints only; the floats are checked one by one.
template <typename State>
bool allFinite(const State& state)
{
    static_assert(sizeof(State) % 4 == 0 && std::is_trivially_copyable_v<State>);
    const auto* words = reinterpret_cast<const unsigned char*>(&state);
    for (size_t i = 0; i < sizeof(State); i += 4) {
        float f;
        std::memcpy(&f, words + i, 4);
        // An int field read as a float is a finite value or a denormal, never NaN or infinity
        // for the small counts the scenes keep.
        if (!std::isfinite(f)) return false;
    }
    return true;
}

long residentKilobytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

struct Walk {
    float time;
    long frames = 0;
    double covered = 0;  // demo seconds travelled, both ways
    template <typename Check>
    bool step(const Scene& scene, float dt, Check check)
    {
        time += dt;
        scene.draw(time);
        glFinish();  // as the swap after every frame does: the driver's queue is worked off
        ++frames;
        covered += std::fabs(dt);
        return check();
    }
};

class LongRun : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openTestGlContext());
        std::filesystem::current_path(testPackDir());
        for (const Scene* s : {&introScene, &templeScene, &tunnelScene, &creditsScene, &endScene}) s->load();
    }
    // Plays the scene from its start for two seconds, scrubs back in 5-second seeks to below
    // -200 s, plays a second there, seeks on in 5-second steps to past 400 s, plays a second
    // more, then cleans up as the runner does.
    template <typename State>
    static void scrub(const Scene& scene, float start, const State& state, double& covered)
    {
        demoState = DemoState{};
        demoState.previousFrameTime = start;
        scene.init();
        Walk walk{start};
        auto finite = [&] { return allFinite(state); };
        for (int i = 0; i < 120; ++i) ASSERT_TRUE(walk.step(scene, 1.0f / 60.0f, finite)) << walk.time;
        const long before = residentKilobytes();
        while (walk.time > -200.0f) ASSERT_TRUE(walk.step(scene, -5.0f, finite)) << walk.time;
        for (int i = 0; i < 60; ++i) ASSERT_TRUE(walk.step(scene, 1.0f / 60.0f, finite)) << walk.time;
        while (walk.time < 400.0f) ASSERT_TRUE(walk.step(scene, 5.0f, finite)) << walk.time;
        for (int i = 0; i < 60; ++i) ASSERT_TRUE(walk.step(scene, 1.0f / 60.0f, finite)) << walk.time;
        EXPECT_LT(residentKilobytes() - before, 4096) << scene.name << " grew while it was scrubbed";
        scene.cleanup();
        covered += walk.covered;
    }
};

TEST_F(LongRun, AnHourOfScrubbingKeepsEverySceneFiniteAndTheProcessFlat)
{
    double covered = 0;
    scrub(introScene, 0.0f, introState, covered);
    scrub(templeScene, 34.8f, templeState, covered);
    scrub(tunnelScene, 55.6f, tunnelState, covered);
    scrub(creditsScene, 75.0f, creditsState, covered);
    scrub(endScene, 130.0f, endState, covered);
    EXPECT_GT(covered, 30.0 * 60.0);
}
}  // namespace
