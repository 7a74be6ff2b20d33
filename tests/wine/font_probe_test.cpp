#include <gtest/gtest.h>

#include "win32/Win32FontProbe.h"

TEST(FontFaceInstalled, FindsAnInstalledFaceAndNotAMissingOne) {
    // Every Wine prefix carries its own Tahoma.
    EXPECT_TRUE(FontFaceInstalled("Tahoma"));
    EXPECT_FALSE(FontFaceInstalled("NoSuchFaceAnywhere 7"));
    EXPECT_FALSE(FontFaceInstalled(""));
    EXPECT_FALSE(FontFaceInstalled(std::string(40, 'A')));
}
