// SPDX-License-Identifier: MIT
// The window's tests run inside the program's own application object, so
// that errors reach its error box as they do for a user.
#include "app/window/MainTexts.h"
#include "base/application/SsApplication.h"
#include "tests/app/window/HangingShare.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    window_testing::KeepMountsPrivate();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TSsApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromLatin1(dw::window::kApplicationTitle));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
