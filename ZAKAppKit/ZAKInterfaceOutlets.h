#pragma once
// Outlets the dialogs' interface files use that the platform classes do not
// offer themselves: a scroll view's "documentView".
namespace ZAKInterfaceOutlets {

// Registers the setters once; later calls do nothing.
void install();

}
