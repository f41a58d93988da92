// The demotorva executable: program entry lives in the core library so tests can run it.
#include "app/demo_main.h"

int main(int argc, char** argv) { return runDemoProgram(argc, argv); }
