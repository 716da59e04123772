#include "UAllocator_C.h"
#include "UQueue_T.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

int CodeOf(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        return error.GetCode();
    }
    return 0;
}

}  // namespace

TEST(UAllocator, GrowsByAtLeastTenThousandAndReusesTheBlock) {
    UAllocator_C allocator;
    void* pointer = nullptr;
    allocator.Reserve(pointer, 100, 0);
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(allocator.GetCapacity(), 10000u);
    void* first = pointer;
    allocator.Reserve(pointer, 9000, 0);
    EXPECT_EQ(pointer, first);
    allocator.Reserve(pointer, 50000, 0);
    EXPECT_EQ(allocator.GetCapacity(), 50000u);
}

TEST(UAllocator, KeepsLeadingBytesAcrossAMove) {
    UAllocator_C allocator;
    char* pointer = nullptr;
    allocator.GetMemory(pointer, 16);
    std::memcpy(pointer, "keep these bytes", 16);
    void* untyped = pointer;
    allocator.Reserve(untyped, 40000, 16);
    EXPECT_EQ(std::memcmp(untyped, "keep these bytes", 16), 0);
}

TEST(UAllocator, RefusesForeignAndNullPointers) {
    UAllocator_C allocator;
    int foreign = 0;
    void* pointer = &foreign;
    EXPECT_EQ(CodeOf([&] { allocator.Reserve(pointer, 10, 0); }), 2);
    pointer = nullptr;
    EXPECT_EQ(CodeOf([&] { allocator.Reserve(pointer, 10, 4); }), 3);
}

TEST(UQueue, PopsInPushOrderAndReportsEmpty) {
    struct Record {
        char text[8];
    };
    UQueue_T<Record> queue;
    Record out{"unset"};
    EXPECT_EQ(queue.Pop(out), 1);
    EXPECT_STREQ(out.text, "unset");
    queue.Push(Record{"A"});
    queue.Push(Record{"B"});
    ASSERT_EQ(queue.Pop(out), 0);
    EXPECT_STREQ(out.text, "A");
    queue.Push(Record{"C"});
    ASSERT_EQ(queue.Pop(out), 0);
    EXPECT_STREQ(out.text, "B");
    ASSERT_EQ(queue.Pop(out), 0);
    EXPECT_STREQ(out.text, "C");
    EXPECT_EQ(queue.Pop(out), 1);
    EXPECT_TRUE(queue.IsEmpty());
}
