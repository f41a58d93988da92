// The command line of demotorva, read into the program-wide options record.
//
// Usage:
//     DemoOptions options;
//     std::string error;
//     if (!parseDemoOptions(argc, argv, options, error)) {
//         fprintf(stderr, "demotorva: %s\n%s", error.c_str(), demoTryHelp);   // exit 2
//     }
// Both "--option value" and "--option=value" are taken, and the short forms -w, -d, -q, -h
// and -V. Every value is checked here, so the rest of the program can trust the record.
#pragma once

#include <string>

#include "core/demo_options.h"

// Parses argv; false with error set (one line, naming the option) when an option is unknown,
// a value is missing or out of range, an argument is left over, or options contradict.
bool parseDemoOptions(int argc, char** argv, DemoOptions& options, std::string& error);
extern const char* const demoUsage;
// The line printed after an option error, under the error itself.
extern const char* const demoTryHelp;
