#pragma once
// The dialogs' interface files connect only outlets that the platform classes
// register themselves (a scroll view's "documentView" among them), so nothing
// is left to install here; install() stays until the dialogs stop calling it.
namespace ZAKInterfaceOutlets {

void install();

}
