// Where the demo's data comes from. The demo reads every file relative to the working
// directory, so choosing the data folder means entering it before anything is loaded.
//
// Usage:
//     if (!chooseDataFolder(options.dataDir, argv[0])) return 2;   // --data DIR cannot be entered
//     // the working directory is now the data folder (or unchanged when none holds the data)
//
// The folders tried, in order: the one given with --data; the working directory when it holds
// the demo's files; "data" beside the executable (a build tree); the data folder of an install,
// ../share/demotorva from the executable's folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// True when dir holds the demo's files ("Mod_.it" or "maps/loading.tga").
bool holdsDemoFiles(const std::filesystem::path& dir);
// The folders searched when no --data is given, in the order they are tried. argv0 stands in
// for the executable's path only where /proc/self/exe cannot be read.
std::vector<std::filesystem::path> dataFolderCandidates(const char* argv0);
// Makes the data folder the working directory: dataDir when given, else the first candidate
// that holds the demo's files. False (with a message on standard error) only when dataDir
// cannot be entered; when no candidate holds the files the working directory stays as it is.
bool chooseDataFolder(const std::string& dataDir, const char* argv0);
