#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QMainWindow>
#include <cstdio>
#include "support/OffscreenProcess.h"
#include "support/TalvaneApp.h"
int main(int argc, char** argv) {
    testsupport::OffscreenProcess process("zz");
    QApplication qa(argc, argv);
    testsupport::TalvaneApp app; app.Start();
    auto& m = app.Main();
    m.eSendCommand->SetText("HELLO");
    testsupport::TalvaneApp::ProcessEvents(100);
    m.Window()->grab().save(argv[1]);
    return 0;
}
