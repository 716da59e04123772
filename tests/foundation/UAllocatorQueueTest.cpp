#include "foundation/UAllocator_C.h"
#include "foundation/UQueue_T.h"

#include <gtest/gtest.h>

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
