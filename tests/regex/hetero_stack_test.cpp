// The backtracking stack: typed records, the type error, marks and unwinding,
// and reuse of the blocks that growth added.
#include "regex/hetero_stack.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using regex::hetero_stack;

struct Counted {
    explicit Counted(int* counter) : destroyed(counter) {}
    Counted(Counted&& o) noexcept : destroyed(std::exchange(o.destroyed, nullptr)) {}
    Counted& operator=(Counted&& o) noexcept {
        destroyed = std::exchange(o.destroyed, nullptr);
        return *this;
    }
    ~Counted() {
        if (destroyed) ++*destroyed;
    }
    int* destroyed;
};

TEST(HeteroStack, RecordsOfMixedTypesComeBackInReverseOrder) {
    hetero_stack stack;
    std::string text = "abc";
    for (int i = 0; i < 1000; ++i) {
        stack.push(i);
        stack.push(std::pair<const char*, uint32_t>(text.data() + i % 3, static_cast<uint32_t>(i)));
        stack.push(i % 2 == 0);
        stack.push(std::string(static_cast<size_t>(i % 40), 'x'));
    }
    for (int i = 999; i >= 0; --i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(stack.pop<std::string>(), std::string(static_cast<size_t>(i % 40), 'x'));
        bool even = false;
        stack.pop(even);
        EXPECT_EQ(even, i % 2 == 0);
        auto pair = stack.pop<std::pair<const char*, uint32_t>>();
        EXPECT_EQ(pair.first, text.data() + i % 3);
        EXPECT_EQ(pair.second, static_cast<uint32_t>(i));
        EXPECT_EQ(stack.pop<int>(), i);
    }
    EXPECT_TRUE(stack.empty());
}

TEST(HeteroStack, WrongTypeRaisesTypeErrorNamingBothTypes) {
    hetero_stack stack;
    stack.push(std::pair<int, unsigned>(1, 2u));
    try {
        stack.pop<bool>();
        FAIL() << "no type error";
    } catch (const hetero_stack::type_error& e) {
        EXPECT_STREQ(
            e.what(),
            "type error in hetero_stack (requested type: bool, actual type: std::pair<int, unsigned int>)");
        EXPECT_EQ(e.requested(), typeid(bool));
    }
    // The record is still there and still of its own type.
    EXPECT_EQ((stack.top<std::pair<int, unsigned>>().second), 2u);
    EXPECT_THROW(stack.top<int>(), std::logic_error);
}

TEST(HeteroStack, PopFromEmptyStackIsATypeError) {
    hetero_stack stack;
    EXPECT_THROW(stack.pop<int>(), hetero_stack::type_error);
}

TEST(HeteroStack, GrowthKeepsBlocksForReuse) {
    hetero_stack stack;
    for (int i = 0; i < 5000; ++i) stack.push(static_cast<long>(i));
    const size_t grown = stack.block_count();
    EXPECT_GT(grown, 1u);
    for (int round = 0; round < 3; ++round) {
        auto mark = stack.mark();
        for (int i = 0; i < 5000; ++i) stack.push(static_cast<long>(i));
        stack.unwind(mark);
    }
    // Unwind back to empty and grow again to the same depth: no new blocks.
    stack.unwind({});
    while (!stack.empty()) stack.pop<long>();
    for (int i = 0; i < 10000; ++i) stack.push(static_cast<long>(i));
    const size_t atDepth = stack.block_count();
    while (!stack.empty()) stack.pop<long>();
    for (int i = 0; i < 10000; ++i) stack.push(static_cast<long>(i));
    EXPECT_EQ(stack.block_count(), atDepth);
}

TEST(HeteroStack, LargeRecordAfterSmallBlocksGetsItsOwnBlock) {
    struct Big {
        char bytes[4096];
    };
    hetero_stack stack;
    for (int i = 0; i < 100; ++i) stack.push(i);
    auto mark = stack.mark();
    stack.push(1);
    stack.unwind(mark);
    Big big{};
    big.bytes[4095] = 'z';
    stack.push(big);
    stack.push(7);
    EXPECT_EQ(stack.pop<int>(), 7);
    EXPECT_EQ(stack.pop<Big>().bytes[4095], 'z');
    for (int i = 99; i >= 0; --i) ASSERT_EQ(stack.pop<int>(), i);
}

TEST(HeteroStack, UnwindRunsDestructorsDownToTheMark) {
    int destroyed = 0;
    {
        hetero_stack stack;
        stack.push(Counted(&destroyed));
        auto mark = stack.mark();
        for (int i = 0; i < 300; ++i) {
            stack.push(Counted(&destroyed));
            stack.push(i);
        }
        stack.unwind(mark);
        EXPECT_EQ(destroyed, 300);
        EXPECT_FALSE(stack.empty());
        stack.push(Counted(&destroyed));
    }
    // The stack's own destructor releases what is left.
    EXPECT_EQ(destroyed, 302);
}

TEST(HeteroStack, TypeNamesAreDemangled) {
    EXPECT_EQ(hetero_stack::type_name(typeid(std::pair<const char*, unsigned>)),
              "std::pair<char const*, unsigned int>");
}

}  // namespace
