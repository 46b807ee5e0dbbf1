#pragma once
// The main menu and the application's dialogs, laid out in code, with their
// outlets and actions connected to the application controller.
#include "AppController.h"

class MainInterface {
public:
    // Makes (or finds) the controller, builds the menus and dialogs, makes it
    // the application's delegate and sends it awakeFromNib.
    static Ref<AppController> load();
    static Ref<NSMenu> buildMainMenu(AppController& controller);
    static void buildDialogs(AppController& controller);
};

// The program: the main interface, then the application's run loop.
int PlumblineMain(int argc, const char** argv);
