// The program-wide settings and run-time state records.
#include "shell/demo_state.h"

DemoSettings demoSettings;
DemoState demoState;
