#include <gtest/gtest.h>

#include <QImage>

// A program run from its build folder finds no theme icon; the one built into the window's
// library stands in, so it must reach every program that links the library.
TEST(WindowIcon, TheFallbackIconIsBuiltIntoTheWindowLibrary) {
    const QImage icon(":/tavrin/icon.png");
    EXPECT_EQ(icon.size(), QSize(256, 256)) << "the icon resource is missing or not 256 px";
}
