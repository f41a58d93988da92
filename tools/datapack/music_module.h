// The demo's soundtrack, written as an Impulse Tracker module.
#pragma once

// Writes the module to path. True on success.
bool writeMusicModule(const char* path);
