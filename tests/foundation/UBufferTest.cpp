#include "UBuffer_C.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using NS_Data::UBuffer_C;

namespace {

// A buffer over an in-memory medium that counts its flushes and refills.
class MemoryBuffer : public UBuffer_C {
public:
    explicit MemoryBuffer(std::string source = {}) : input(std::move(source)) {}

    std::string output;
    int flushes = 0;
    bool failFlush = false;

protected:
    int Refill() override {
        if (consumed == input.size()) {
            return 1;
        }
        const std::size_t n = std::min<std::size_t>(Capacity, input.size() - consumed);
        input.copy(reinterpret_cast<char*>(bytes), n, consumed);
        consumed += n;
        readPosition = 0;
        end = static_cast<int32_t>(n);
        return 0;
    }
    int Flush() override {
        ++flushes;
        if (failFlush) {
            return 1;
        }
        output.append(reinterpret_cast<char*>(bytes) + readPosition, end - readPosition);
        readPosition = end = 0;
        return 0;
    }

private:
    std::string input;
    std::size_t consumed = 0;
};

int CodeOf(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        return error.GetCode();
    }
    return 0;
}

}  // namespace

TEST(UBuffer, WriteFlushesOnlyWhenTheAreaOverflows) {
    MemoryBuffer buffer;
    const std::vector<char> block(30001, 'x');
    buffer.Write(block.data(), 30000);
    EXPECT_EQ(buffer.flushes, 0) << "exactly 30000 bytes must stay buffered";
    buffer.Write(block.data(), 1);
    EXPECT_EQ(buffer.flushes, 1);
    EXPECT_EQ(buffer.output.size(), 30000u);
    EXPECT_EQ(buffer.GetPending(), 1);
}

TEST(UBuffer, WriteReportsAFailedFlush) {
    MemoryBuffer buffer;
    buffer.failFlush = true;
    const std::vector<char> block(30001, 'x');
    EXPECT_EQ(CodeOf([&] { buffer.Write(block.data(), 30001); }), 2);
    UBuffer_C base;
    EXPECT_EQ(CodeOf([&] { base.Write(block.data(), 30001); }), 2);
}

TEST(UBuffer, ReadCrossesRefillsAndFailsAtTheEnd) {
    std::string data(70000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>(i * 7);
    }
    MemoryBuffer buffer(data);
    std::string back(70000, '\0');
    buffer.Read(back.data(), 70000);
    EXPECT_EQ(back, data);
    char extra;
    buffer.Read(&extra, 0);
    EXPECT_EQ(CodeOf([&] { buffer.Read(&extra, 1); }), 1);
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

TEST(UBuffer, WriteStringIncludesTheZero) {
    MemoryBuffer buffer;
    EXPECT_EQ(buffer.WriteString(""), 1);
    EXPECT_EQ(buffer.GetPending(), 1);
}
