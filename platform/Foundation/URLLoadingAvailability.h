#pragma once
// A switch that makes the URL loading classes (requests, responses, the
// connection and the cookie classes) look absent to NSClassFromString, so the
// fallbacks of code that checks for them can be tested. They are available
// unless a test turns them off.
#include <string_view>

// Answers the previous state.
bool URLLoadingSetAvailable(bool available);
bool URLLoadingIsAvailable();
// Whether NSClassFromString should answer nil for this class name now.
bool URLLoadingHidesClassNamed(std::string_view name);
