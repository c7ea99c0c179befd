#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Every test binary runs inside one QApplication; offscreen unless a display was chosen.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and data the code under test writes go under ~/.qttest, never into the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
