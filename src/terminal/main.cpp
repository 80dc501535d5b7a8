// The program's entry: the application, its ten windows in start-up order, the message loop.
#include <QApplication>

#include "platform/Folders.h"
#include "terminal/Forms.h"
#include "terminal/Main.h"
#include "ui/Application.h"

int main(int argc, char** argv) {
    ui::Application::CatchEndSignals();  // a logout during the start-up ends it as it ends the program
    QApplication app(argc, argv);
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
