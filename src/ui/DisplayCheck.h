#pragma once
// Before the application object: whether the window system Qt is about to start can be reached. Qt's
// own answer when its X11 platform finds no display is an abort with advice to reinstall; the program
// says instead what is wrong and what to do, and ends with a failure status.
#include <vector>

namespace ui::DisplayCheck {

// argv as Qt reads it, ended by a null pointer: "-platform=NAME" (or "--platform=NAME"), which Qt
// would ignore, becomes "-platform" "NAME" (the '=' in argv is overwritten). Give it to the
// application object as it is: Qt keeps the pointers.
std::vector<char*> QtArguments(int argc, char** argv);

// False, after one line on stderr, where Qt would abort: when no platform Qt tries is installed (by
// -platform, QT_QPA_PLATFORM or by default, Wayland first in a Wayland session), or when X11 is the only
// one installed of them and its display (-display or DISPLAY) refuses the connection or does not answer
// within a few seconds. Any other platform is left to Qt.
bool DisplayReachable(int argc, char** argv);

}  // namespace ui::DisplayCheck
