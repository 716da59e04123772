#include "foundation/UBuffer_C.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

using NS_Data::UBuffer_C;

namespace {

// A buffer whose medium holds `input`.
class MemoryBuffer : public UBuffer_C {
public:
    explicit MemoryBuffer(std::string source) : input(std::move(source)) {}

protected:
    int Refill() override {
        readPosition = 0;
        end = static_cast<int32_t>(input.copy(reinterpret_cast<char*>(bytes), Capacity));
        input.erase(0, end);
        return end == 0 ? 1 : 0;
    }

private:
    std::string input;
};

}  // namespace

// Writing across the 30000-byte boundary is checked on a real file.
TEST(UBuffer, AFailedFlushIsReported) {
    const std::vector<char> block(30001, 'x');
    UBuffer_C base;  // its medium refuses every flush
    EXPECT_EQ(CodeOf([&] { base.Write(block.data(), 30000); }), 0);
    EXPECT_EQ(CodeOf([&] { base.Write(block.data(), 1); }), 2);
}

TEST(UBuffer, ReadStringStopsAtItsCapacity) {
    char text[4];
    MemoryBuffer fits(std::string("abc\0", 4));
    EXPECT_EQ(fits.ReadString(text, 4), 3);
    EXPECT_STREQ(text, "abc");

    MemoryBuffer tooLong(std::string("abcd\0", 5));
    EXPECT_EQ(CodeOf([&] { tooLong.ReadString(text, 4); }), 3);
    EXPECT_STREQ(text, "abc");
    char next;
    tooLong.Read(&next, 1);
    EXPECT_EQ(next, 'd') << "the byte that did not fit must stay unread";

    MemoryBuffer unterminated("ab");
    EXPECT_EQ(CodeOf([&] { unterminated.ReadString(text, 4); }), 1);
}
