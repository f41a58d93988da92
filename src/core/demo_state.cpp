// The program-wide settings and run-time state records.
#include "core/demo_state.h"

DemoSettings demoSettings;
DemoState demoState;
