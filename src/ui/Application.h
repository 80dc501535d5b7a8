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
bool Terminated();
// Runs the message loop until Terminate; returns 0. While it runs, SIGTERM, SIGHUP and SIGINT (logout,
// shutdown, a closed terminal, Ctrl+C) close the forms as the operator would (TForm::CloseAll); a
// second such signal ends the process at once.
int Run();
// What is still to be done when the process exits while the forms exist, which is how the platform
// layer ends the program when the display connection is lost: run on the exiting thread by an exit
// handler, after the hand-overs have stopped (BeginEnding). It must need neither the display nor
// another thread's hand-over.
void SetEndingWithoutClose(std::function<void()> action);
// Runs fn; an exception that escapes it is shown in the exception box (an unknown one with an
// empty message). Returns false when one escaped.
bool RunShowingExceptions(const std::function<void()>& fn);
// Forgets an earlier Terminate (for a new run in the same process, as tests make).
void Reset();

}  // namespace Application

}  // namespace ui
