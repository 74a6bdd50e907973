// main() for test programs that drive Qt widgets: Qt's offscreen platform unless another
// one is asked for, one application object for all tests, made as the program makes it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/Application.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    velmora::Application application(argc, argv, "velmora", "Velmora");
    return RUN_ALL_TESTS();
}
