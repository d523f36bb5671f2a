// The main of the Qt test executables: widgets need one QApplication for the whole process,
// created before the first test and destroyed after the last.
#include "designkit/Fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    // Tests never open real windows; a run under a display still draws offscreen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    // As in every Qt program of ours: the kit's type is in place before Qt looks up a font.
    corvane::installFonts();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
