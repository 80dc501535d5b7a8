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

// False, after one line on stderr, when Qt would try its X11 platform alone (by -platform,
// QT_QPA_PLATFORM or by default) and the X display (-display or DISPLAY) takes no connection. Any other
// platform, or a list of platforms to try in turn, is left to Qt.
bool DisplayReachable(int argc, char** argv);

}  // namespace ui::DisplayCheck
