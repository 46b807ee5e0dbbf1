#pragma once
// A record of the alerts the application showed, for the test harness and
// diagnostics. The alert classes append to it when an alert is shown; any
// thread may read it.
#include <string>
#include <vector>

#include "Foundation/NSTypes.h"

struct AlertRecord {
    NSUInteger style = 0;  // NSAlertStyle
    std::string messageText;
    std::string informativeText;
    std::vector<std::string> buttons;  // titles, first is the default
    // The code the alert answered; set when it ends (NSModalResponseContinue
    // while it is still shown).
    NSInteger result = -1002;
};

namespace AlertLog {

// Answers the record's index.
size_t record(AlertRecord alert);
void setResult(size_t index, NSInteger result);
std::vector<AlertRecord> all();
void clear();

}
