#pragma once
// For scripted runs on the headless window server: with PLUMBLINE_SCREENSHOT
// set to a PNG path, the program saves the composited screen there once it
// has launched and drawn, then quits through terminate:.
namespace HeadlessRun {
void scheduleScreenshotIfAsked();
}
