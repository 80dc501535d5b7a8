// Test entry: an offscreen Qt application, and each test started afresh (its own data folder, no forms
// left by an earlier test), so the tests of a program pass together in any order.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/EachTestAfresh.h"
#include "support/OffscreenProcess.h"

int main(int argc, char** argv) {
    testsupport::OffscreenProcess process("talvane-test");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new testsupport::EachTestAfresh);
    return RUN_ALL_TESTS();
}
