// Test entry: an offscreen Qt application and a fresh data folder for the whole process.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char pattern[] = "/tmp/talvane-test-XXXXXX";
    const char* dataHome = mkdtemp(pattern);
    if (dataHome != nullptr)
        setenv("XDG_DATA_HOME", dataHome, 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (dataHome != nullptr) {
        std::error_code ignored;
        std::filesystem::remove_all(dataHome, ignored);
    }
    return result;
}
