#include "foundation/UError_C.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using NS_Base::UError_C;
using NS_Base::UMessage_S;

namespace {

constexpr UMessage_S table[] = {{1, "First message."}, {0, nullptr}};

std::string Repeated(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

}  // namespace

// File names are bytes; what the user reads must still be UTF-8, also where a long text is cut
// to its 399 bytes.
TEST(UError, ExtraTextShowsInvalidUtf8AsReplacementCharactersAndIsCutBetweenCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"/pics/caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.png",
         "/pics/caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80.png"},
        {"\xE2\x82x", fffd + "x"},                        // one mark for one broken character
        {"\xC0\xAF", fffd + fffd},                        // overlong
        {"\xED\xA0\x80", fffd + fffd + fffd},             // surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},  // beyond U+10FFFF
        {Repeated("\xC3\xA9", 300), Repeated("\xC3\xA9", 199)},
        {std::string(300, '\xFF'), Repeated(fffd, 133)},  // each replaced byte takes three
    };
    for (const auto& [extra, shown] : cases) {
        EXPECT_EQ(UError_C(1, NS_Base::UserError, "X_C", table, extra.c_str()).GetInfoEx(), shown)
            << "for the bytes of " << testing::PrintToString(extra);
    }
    const std::string longText = Repeated("\xC3\xA9", 300);
    const UError_C error(1, NS_Base::SystemError, longText.c_str(), table, longText.c_str());
    EXPECT_EQ(std::string(error.GetPosition()), Repeated("\xC3\xA9", 199));
    const std::string shown = error.ComposeText();
    EXPECT_LE(shown.size(), 399u);
    EXPECT_NE(static_cast<unsigned char>(shown.back()), 0xC3u)
        << "the shown text ends with a lead byte whose trail byte was cut off";
}
