#include <QApplication>

#include <gtest/gtest.h>

// The dialogs are real Qt widgets; under QT_QPA_PLATFORM=offscreen they run without a
// display.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
