#include "FixturePane.h"

// A class that registers under a name the framework already has.
namespace taken {
FIXTURE_PANE(ZAKPreferencePanel)
}
