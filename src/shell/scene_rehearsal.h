// Scene rehearsal: the first frames of the scenes that are slow to start, drawn once while the
// loading picture shows.
//
// The software renderer compiles a program for every new combination of drawing state the
// first time it meets it, tens of milliseconds for a lit, fogged, textured scene. Met at a cut,
// that compilation holds up the scene's first frame and the viewer sees the picture stall.
// Drawing such a scene's first frame during loading, into the hidden back buffer, meets
// those combinations before the clock starts; the scene's record, the run-time flags and the
// OpenGL state are put back afterwards, so the demo then plays as if nothing had been drawn.
#pragma once

// After loadEverything, before the music and the clock start.
void rehearseScenes();
