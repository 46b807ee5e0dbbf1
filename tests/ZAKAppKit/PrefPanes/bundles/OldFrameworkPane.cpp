#include "FixturePane.h"

// Built, so its Info says, for another framework version.
FIXTURE_PANE(OldFrameworkPrefPane)
