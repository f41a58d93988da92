// Scene rehearsal: the first and last frames of every scene, drawn once in the demo's order
// while the loading picture shows.
//
// The software renderer compiles a program for every new combination of drawing state the
// first time it meets it, tens of milliseconds for a lit, fogged, textured scene. Met at a cut,
// that compilation holds up the scene's first frame and the viewer sees the picture stall.
// Drawing each scene's first and last frames during loading, unseen, meets those combinations
// before the clock starts; the scenes' records, the run-time flags and the OpenGL state are put
// back afterwards, so the demo then plays as if nothing had been drawn.
#pragma once

// After loadEverything, before the music and the clock start.
void rehearseScenes();
