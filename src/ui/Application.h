#pragma once
// The application object: its title, its message loop, and its end.
#include <functional>
#include <string>

namespace ui {

namespace Application {

void SetTitle(const std::string& title);
std::string Title();
// Asks the message loop to end (also when asked before the loop runs).
void Terminate();
bool Terminated();
// Runs the message loop until Terminate; returns 0.
int Run();
// Runs fn; an exception that escapes it is shown in the exception box (an unknown one with an
// empty message). Returns false when one escaped.
bool RunShowingExceptions(const std::function<void()>& fn);
// Forgets an earlier Terminate (for a new run in the same process, as tests make).
void Reset();

}  // namespace Application

}  // namespace ui
