// Test entry: an offscreen Qt application and a fresh data folder for the whole process.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/OffscreenProcess.h"

int main(int argc, char** argv) {
    testsupport::OffscreenProcess process("talvane-test");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
