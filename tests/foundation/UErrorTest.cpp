#include "foundation/UError_C.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

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

// File names are bytes; what the user reads must still be UTF-8.
TEST(UError, ExtraTextShowsInvalidUtf8AsReplacementCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"/pics/caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.png",
         "/pics/caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.png"},
        {"/pics/\xFF.png", "/pics/" + fffd + ".png"},
        {"a\xE2\x82", "a" + fffd},                        // cut short at the end
        {"\xE2\x82x", fffd + "x"},                        // one mark for one broken character
        {"\xC0\xAF", fffd + fffd},                        // overlong
        {"\xED\xA0\x80", fffd + fffd + fffd},             // surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},  // beyond U+10FFFF
    };
    for (const auto& [extra, shown] : cases) {
        EXPECT_EQ(UError_C(1, NS_Base::UserError, "X_C", table, extra.c_str()).GetInfoEx(), shown)
            << "for the bytes of " << testing::PrintToString(extra);
    }
    // Each replaced byte takes three: the cut still falls between whole characters.
    const std::string bytes(300, '\xFF');
    EXPECT_EQ(UError_C(1, NS_Base::UserError, "X_C", table, bytes.c_str()).GetInfoEx(), [&] {
        std::string expected;
        for (int i = 0; i < 133; ++i) {
            expected += fffd;
        }
        return expected;
    }());
}
