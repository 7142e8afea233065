// The main of every test program: see TestEnvironment.h for the environment it builds.
#include "tests/support/TestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    TestEnvironment::prepareProcess();
    int result = 0;
    {
        QApplication app(argc, argv);
        TestEnvironment::install();
        result = RUN_ALL_TESTS();
    }
    TestEnvironment::cleanUp();
    return result;
}
