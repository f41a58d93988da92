// A scene of the demo: four plain operations that the runner calls in a fixed life cycle.
//
// Every scene fills one of these records by field name; the runner plays any of them with one
// loop, so the scenes know nothing of the runner and the runner nothing of a scene's insides.
#pragma once

struct Scene {
    const char* name;
    bool (*load)();          // once, during start-up
    bool (*init)();          // at the start of the scene's run, even after a quit request
    bool (*draw)(float t);   // once per frame with the demo time; false ends the demo
    void (*cleanup)();       // once after the scene's loop ends
};
