#include "foundation/ShownText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "foundation/UError_C.h"

namespace {

std::string Marked(const char* context, const char* text) {
    return std::string("[") + context + ":" + text + "]";
}

}  // namespace

// A translation may put the values in another order; a value is put in as it stands, even one
// that holds a "%2" of its own (file names may).
TEST(ShownText, FillInPutsEachValueInOnceAndLeavesOtherPercentSignsAlone) {
    const std::tuple<std::string_view, std::vector<std::string>, std::string> cases[] = {
        {"%1 and %2", {"a", "b"}, "a and b"},
        {"%2 before %1", {"a", "b"}, "b before a"},
        {"%1 of %1", {"a"}, "a of a"},
        {"%1 and %2", {"100%2", "b"}, "100%2 and b"},
        {"%3 of %1", {"a"}, "%3 of a"},
        {"50% of %1%", {"x"}, "50% of x%"},
        {"%0 %", {"x"}, "%0 %"},
    };
    for (const auto& [pattern, values, filled] : cases) {
        EXPECT_EQ(NS_Base::FillIn(pattern, values), filled) << pattern;
    }
}

// The caption, the message and the labels are the program's texts and are translated; the extra
// text and the position are file names and class names, shown as they are.
TEST(ShownText, AnErrorTranslatesItsOwnTextsButNotItsValues) {
    static constexpr NS_Base::UMessage_S table[] = {{1, "Message."}, {0, nullptr}};
    NS_Base::SetTranslation(&Marked);
    const NS_Base::UError_C user(1, NS_Base::UserError, "X_C", table, "Info:");
    const NS_Base::UError_C system(1, NS_Base::SystemError, "X_C", table, "Info:");
    const std::string caption = user.ComposeCaption();
    const std::string userText = user.ComposeText();
    const std::string systemText = system.ComposeText();
    NS_Base::SetTranslation(nullptr);
    EXPECT_EQ(caption, "[UError_C:UserError]");
    EXPECT_EQ(userText, "[UError_C:Message.]\r\nInfo:");
    EXPECT_EQ(systemText,
              "[UError_C:Code:] 1\r\n[UError_C:Info:] [UError_C:Message.]\r\n[UError_C:InfoEx:] "
              "Info:\r\n[UError_C:Position:] X_C");
    EXPECT_EQ(NS_Base::ShownText("C", "text"), "text") << "no translation once it is removed";
}
