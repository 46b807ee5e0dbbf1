#include "MainInterface.h"

int main(int argc, const char** argv) { return PlumblineMain(argc, argv); }
