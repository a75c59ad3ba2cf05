// The main function of the test executables: one QApplication, alive from
// before the first test to after the last, for widgets, fonts, palettes and
// pixmaps. The tests run on the offscreen platform unless one is chosen.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
