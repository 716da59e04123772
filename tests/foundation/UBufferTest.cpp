#include "UBuffer_C.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

using NS_Data::UBuffer_C;

namespace {

// A buffer whose medium holds `input` and takes every flush, counting them.
class MemoryBuffer : public UBuffer_C {
public:
    explicit MemoryBuffer(std::string source = {}) : input(std::move(source)) {}
    int flushes = 0;

protected:
    int Refill() override {
        readPosition = 0;
        end = static_cast<int32_t>(input.copy(reinterpret_cast<char*>(bytes), Capacity));
        input.erase(0, end);
        return end == 0 ? 1 : 0;
    }
    int Flush() override {
        ++flushes;
        readPosition = end = 0;
        return 0;
    }

private:
    std::string input;
};

}  // namespace

TEST(UBuffer, WriteFlushesOnlyWhenTheAreaOverflowsAndReportsAFailedFlush) {
    MemoryBuffer buffer;
    const std::vector<char> block(30001, 'x');
    buffer.Write(block.data(), 30000);
    EXPECT_EQ(buffer.flushes, 0) << "exactly 30000 bytes must stay buffered";
    buffer.Write(block.data(), 1);
    EXPECT_EQ(buffer.flushes, 1);
    EXPECT_EQ(buffer.GetPending(), 1);
    UBuffer_C base;  // its medium refuses every flush
    EXPECT_EQ(CodeOf([&] { base.Write(block.data(), 30001); }), 2);
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
