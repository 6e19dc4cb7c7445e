// The start-up preload reads the font configuration on its own thread and always ends with its owner.

#include "app/StartupPreload.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

TEST(StartupPreload, ReadsTheFontConfigurationAndEndsWithOrWithoutAWait) {
    // Ended without a wait, as when another instance holds the data folder: the destructor waits for the thread.
    { StartupPreload preload; }
    StartupPreload preload;
    preload.wait();
    preload.wait(); // nothing left to wait for
    FcFontSet* fonts = FcConfigGetFonts(FcConfigGetCurrent(), FcSetSystem);
    ASSERT_NE(fonts, nullptr);
    EXPECT_GT(fonts->nfont, 0);
}
