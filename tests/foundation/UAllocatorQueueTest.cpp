#include "UAllocator_C.h"
#include "UQueue_T.h"

#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"

TEST(UAllocator, GrowsByAtLeastTenThousandAndReusesTheBlock) {
    UAllocator_C allocator;
    void* pointer = nullptr;
    allocator.Reserve(pointer, 100, 0);
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(allocator.GetCapacity(), 10000u);
    void* first = pointer;
    allocator.Reserve(pointer, 9000, 0);
    EXPECT_EQ(pointer, first) << "a request within the block moved it";
    allocator.Reserve(pointer, 50000, 0);
    EXPECT_EQ(allocator.GetCapacity(), 50000u);
}

TEST(UAllocator, KeepsLeadingBytesAcrossAMoveAndRefusesForeignOrNullPointers) {
    UAllocator_C allocator;
    char* pointer = nullptr;
    allocator.GetMemory(pointer, 16);
    std::memcpy(pointer, "keep these bytes", 16);
    void* untyped = pointer;
    allocator.Reserve(untyped, 40000, 16);
    EXPECT_EQ(std::memcmp(untyped, "keep these bytes", 16), 0);

    int foreign = 0;
    void* other = &foreign;
    EXPECT_EQ(CodeOf([&] { allocator.Reserve(other, 10, 0); }), 2);
    other = nullptr;
    EXPECT_EQ(CodeOf([&] { allocator.Reserve(other, 50000, 4); }), 3);
}

TEST(UQueue, PopsInPushOrderAndReportsEmpty) {
    UQueue_T<int> queue;
    int out = -1;
    EXPECT_EQ(queue.Pop(out), 1);
    EXPECT_EQ(out, -1) << "popping an empty queue changed the destination";
    queue.Push(1);
    queue.Push(2);
    ASSERT_EQ(queue.Pop(out), 0);
    EXPECT_EQ(out, 1);
    queue.Push(3);
    for (const int expected : {2, 3}) {
        ASSERT_EQ(queue.Pop(out), 0);
        EXPECT_EQ(out, expected);
    }
    EXPECT_EQ(queue.Pop(out), 1);
    EXPECT_TRUE(queue.IsEmpty());
}
