#include <QCoreApplication>
#include <gtest/gtest.h>

// The core uses Qt's locale and file classes, which want an application object.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
