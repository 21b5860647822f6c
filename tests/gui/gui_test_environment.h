// What every GUI test process gets before its first window: the desktop's
// folders (XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME, XDG_STATE_HOME)
// in a temporary place of its own, so that no test writes into the user's
// home, and the welcome window of a first start answered "Это мне не нужно" unless a test drives it
// itself.
#pragma once

namespace prambus::test {

// Set to let the test answer the welcome window.
bool& DriveWelcomeWindow();
// The temporary folder standing for the user's home.
const char* TestHome();
// Run once when the application object is made.
void Prepare();

}  // namespace prambus::test
