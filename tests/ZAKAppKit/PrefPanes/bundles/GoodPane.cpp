#include "FixturePane.h"

FIXTURE_PANE(GoodPrefPane)
