#include <QCoreApplication>

#include <gtest/gtest.h>

// The core asks Qt for the executable's directory, so every test runs inside an
// application object.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
