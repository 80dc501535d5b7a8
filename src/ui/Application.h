#pragma once
// The application object: its title, its message loop, and its end, whichever way it comes.
#include <functional>
#include <string>

namespace ui {

namespace Application {

void SetTitle(const std::string& title);
std::string Title();
// Asks the message loop to end (also when asked before the loop runs).
void Terminate();
// Whether the message loop was told to end (Terminate), which a close without an ending does too; for
// whether the program is ending, ask ProgramIsEnding.
bool Terminated();
// The program's first line: from now on SIGTERM, SIGHUP and SIGINT (logout, shutdown, a closed
// terminal, Ctrl+C) never end the process with their default action. Any of them, in any order and
// number, that come within three seconds of the first are the same ending (a session stops with
// SIGTERM and SIGHUP at once); one that comes later finds the ending stuck and ends the process at once.
// Until Start, while nothing is open yet (a display that hangs or goes away included), an end signal
// ends the process at once with status 0.
void CatchEndSignals();
// Once the application object exists, before the first window: an end signal is taken by whichever
// event loop runs (the message loop, a box's or a modal form's), and a lost display ends the program.
// An end signal begins the ending (BeginEnding: the workers' waits for the GUI thread are released,
// no box or modal form opens, nothing is lent or started), closes the boxes and modal forms that are
// open as their windows' close would, and once the message loop is back on top closes the forms as
// the operator would (TForm::CloseAll). A lost display runs the action given to
// SetEndingWithoutClose on the GUI thread when the platform layer reports the loss, before the
// process's exit begins, so that no static object has been destroyed yet.
void Start();
// Runs the message loop until Terminate; returns 0.
int Run();
// Has the program begun to end, for any reason? True from the moment an end signal came (before any
// event loop has taken it), once the ending began (BeginEnding), and on the GUI thread once the display
// is gone. Whatever stops, refuses or leaves out work because the program ends asks this.
bool ProgramIsEnding();
// A pause of ms that ends once the program is ending (at once when it is already).
void PauseUnlessEnding(unsigned ms);
// What is still to be done when the display is lost while the forms exist: run after the
// hand-overs have stopped (BeginEndingWithoutReturn). It must need neither the display nor another
// thread's hand-over.
void SetEndingWithoutClose(std::function<void()> action);
// Runs fn; an exception that escapes it is shown in the exception box (an unknown one with an
// empty message). Returns false when one escaped.
bool RunShowingExceptions(const std::function<void()>& fn);
// Forgets an earlier Terminate (for a new run in the same process, as tests make).
void Reset();

}  // namespace Application

}  // namespace ui
