#include "ZAKAppKit/ZAKPreferencePanes/ZAKPrefPaneProtocol.h"

// Out of line, so that the framework's library holds the one type identity
// that plug-ins loaded with RTLD_LOCAL cast to.
ZAKPrefPaneProtocol::~ZAKPrefPaneProtocol() = default;
ZAKPrefPaneBundleProtocol::~ZAKPrefPaneBundleProtocol() = default;
