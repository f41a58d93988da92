// Scene rehearsal: the first and last frames of every scene, drawn once in the demo's order,
// unseen, so that the cuts between scenes do not stall.
//
// The software renderer compiles a program for every new combination of drawing state the
// first time it meets it, tens of milliseconds for a lit, fogged, textured scene. Met at a cut,
// that compilation holds up the scene's first frame and the viewer sees the picture stall.
// Drawing each scene's first and last frames beforehand meets those combinations early; the
// scenes' records, the font, the run-time flags and the OpenGL state are put back afterwards,
// so the demo then plays as if nothing had been drawn.
//
//   rehearseScenes();         // every scene at once, before the music: a start past the intro
//   scheduleRehearsal();      // or, from the start: the cuts after the intro are only marked due
//   ...                       // and the scene runner, after each of the intro's frames, calls
//   continueRehearsal();      // which meets the intro's later frames, then one cut a frame
//
// From the start the intro fades in from black over four seconds: its first frames show under
// a tenth of the picture's brightness, and the cuts are met there, while the music already
// plays, instead of keeping the loading picture up for a quarter of a second longer.
#pragma once

void rehearseScenes();
void scheduleRehearsal();
// Does nothing once every cut has been met, or before scheduleRehearsal.
void continueRehearsal();
