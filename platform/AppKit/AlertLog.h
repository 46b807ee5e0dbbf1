#pragma once
// A record of the alerts the application showed, for the test harness and
// diagnostics. The alert classes append to it when an alert is shown; any
// thread may read it.
#include <string>
#include <vector>

#include "Foundation/NSGeometry.h"
#include "Foundation/NSTypes.h"

struct AlertRecord {
    NSUInteger style = 0;  // NSAlertStyle
    std::string messageText;
    std::string informativeText;
    std::vector<std::string> buttons;  // titles, first is the default
    // The code the alert answered; set when it ends (NSModalResponseContinue
    // while it is still shown).
    NSInteger result = -1002;
    // The "do not show again" check box: whether it was offered, where it is
    // on the screen (global points, once shown), and whether it was ticked
    // when the alert ended.
    bool showsSuppressionButton = false;
    NSRect suppressionButtonFrame{};
    bool suppressed = false;
};

namespace AlertLog {

// Answers the record's index.
size_t record(AlertRecord alert);
void setResult(size_t index, NSInteger result);
void setSuppressionButton(size_t index, const NSRect& screenFrame);
void setSuppressed(size_t index, bool suppressed);
std::vector<AlertRecord> all();
void clear();

}
