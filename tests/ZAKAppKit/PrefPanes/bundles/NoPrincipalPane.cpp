#include "FixturePane.h"

// The bundle names no principal class; its code would bring this one.
FIXTURE_PANE(UnnamedPrefPane)
