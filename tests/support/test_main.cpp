// The main of every test program: the environment the tests rely on, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Tests find files of the source tree (corpora, .po files, generated documents) from here.
    setenv("TDX_SOURCE_DIR", TDX_SOURCE_DIR, 0);
    // Host tests run without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
