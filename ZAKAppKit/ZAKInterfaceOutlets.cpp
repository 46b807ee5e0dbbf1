#include "ZAKAppKit/ZAKInterfaceOutlets.h"

namespace ZAKInterfaceOutlets {

void install() {}

}
