#include "FixturePane.h"

FIXTURE_PANE(NoIdentifierPrefPane)
