// The program's entry: the application, its ten windows in start-up order, the message loop.
#include <QApplication>

#include <vector>

#include "platform/Folders.h"
#include "terminal/Forms.h"
#include "terminal/Main.h"
#include "ui/Application.h"
#include "ui/DisplayCheck.h"

int main(int argc, char** argv) {
    ui::Application::CatchEndSignals();  // a logout during the start-up ends it at once
    std::vector<char*> arguments = ui::DisplayCheck::QtArguments(argc, argv);
    int count = static_cast<int>(arguments.size()) - 1;
    if (!ui::DisplayCheck::DisplayReachable(count, arguments.data()))
        return 1;  // it said why, where Qt would abort
    QApplication app(count, arguments.data());
    ui::Application::Start();
    ui::Application::RunShowingExceptions([] {
        platform::CreateInstallFolders();
        ui::Application::SetTitle("Orvel Talvane");
        CreateForms();
        TalvaneForm->Show();
        ui::Application::Run();
    });
    DestroyForms();
    return 0;
}
