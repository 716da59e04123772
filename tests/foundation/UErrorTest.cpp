#include "foundation/UError_C.h"

#include <gtest/gtest.h>

#include <string>

using NS_Base::UError_C;
using NS_Base::UMessage_S;

namespace {

constexpr UMessage_S table[] = {{1, "First message."}, {4, "Fourth message."}, {0, nullptr}};

}  // namespace

// User errors show the message and the bare extra text; system errors labelled lines.
TEST(UError, NoticeTextDependsOnTheKind) {
    const UError_C user(1, NS_Base::UserError, "UFileAbyss_C", table, "/pics/a.png");
    EXPECT_STREQ(user.GetCaption(), "UserError");
    EXPECT_EQ(user.ComposeText(), "First message.\r\n/pics/a.png");
    const UError_C system(4, NS_Base::SystemError, "UList_T", table, "key");
    EXPECT_STREQ(system.GetCaption(), "SystemError");
    EXPECT_EQ(system.ComposeText(),
              "Code: 4\r\nInfo: Fourth message.\r\nInfoEx: key\r\nPosition: UList_T");
    // Code 0 ends the table, so it never matches the end marker.
    for (const int32_t unknown : {0, 3}) {
        EXPECT_STREQ(UError_C(unknown, 0, "X_C", table).GetInfo(), "Unexpected error.") << unknown;
    }
}

TEST(UError, LongTextsAreCutAtCharacterBoundaries) {
    // 300 two-byte characters: 600 bytes that must be cut to at most 399 without splitting one.
    std::string longText;
    for (int i = 0; i < 300; ++i) {
        longText += "\xC3\xA9";
    }
    const UError_C error(1, NS_Base::SystemError, longText.c_str(), table, longText.c_str());
    EXPECT_EQ(std::string(error.GetPosition()).size(), 398u);
    EXPECT_EQ(std::string(error.GetInfoEx()).size(), 398u);
    const std::string shown = error.ComposeText();
    EXPECT_LE(shown.size(), 399u);
    EXPECT_NE(static_cast<unsigned char>(shown.back()), 0xC3u)
        << "the shown text ends with a lead byte whose trail byte was cut off";
}
