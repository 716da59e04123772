#include "foundation/UGeneralData_C.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "TestSupport.h"

using G = NS_Data::UGeneralData_C;

namespace {

// Filling a value reads only bytes; the other file members are declared for the contract.
struct UBytesReader {
    const Bytes& bytes;
    void ReadBytes(void* destination, int32_t count) {
        std::memcpy(destination, bytes.data(), count);
    }
    void ReadInt32(int32_t&);
    void WriteInt32(int32_t);
    void WriteBytes(const void*, int32_t);
    int64_t GetRemaining();
};

// A value of `type` holding `content`. Reading and writing whole values is checked byte for byte
// through the settings file.
G Make(int32_t type, const Bytes& content) {
    G value;
    value.SetType(type, static_cast<int32_t>(content.size()));
    UBytesReader file{content};
    value.ReadData(file);
    return value;
}

}  // namespace

TEST(UGeneralData, GetIntReadsIntegerTypesAndRefusesOthers) {
    const std::tuple<int32_t, Bytes, int32_t, int32_t> cases[] = {
        {G::Int, {7, 0, 0, 0}, 7, 0},
        {G::Int32, {0xFE, 0xFF, 0xFF, 0xFF}, -2, 0},
        {G::Bool, {1, 0, 0, 0}, 1, 0},
        {G::Int16, {0xFF, 0xFF}, -1, 0},
        {G::Int64, {5, 0, 0, 0, 9, 0, 0, 0}, 5, 0},
        {G::Uint32, {5, 0, 0, 0}, 0, 2},
        {G::String, {'5', 0}, 0, 2},
    };
    for (const auto& [type, content, expected, code] : cases) {
        int32_t got = 0;
        EXPECT_EQ(CodeOf([&] { got = Make(type, content).GetInt(); }), code) << "type " << type;
        EXPECT_EQ(got, expected) << "type " << type;
    }
}

TEST(UGeneralData, EqualityComparesTypeAndContent) {
    struct Case {
        G a, b;
        bool equal;
        const char* what;
    } const cases[] = {
        {G(), Make(G::Int, {0, 0, 0, 0}), false, "Unknown and Int 0"},
        {Make(G::Int, {5, 0, 0, 0}), Make(G::Int32, {5, 0, 0, 0}), false, "Int and Int32"},
        {Make(G::String, {'a', 0}), Make(G::String, {'a', 0, 'x'}), true, "texts end at zero"},
        {Make(G::String, {'a'}), Make(G::String, {'a', 0}), true, "or at the end of the buffer"},
        {Make(G::Binary, {1, 2}), Make(G::Binary, {1, 2, 0}), false, "binaries of other sizes"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.what;
        EXPECT_EQ(G(c.b).IsEqual(G(c.a)), c.equal) << c.what << ", copied";
    }
    EXPECT_TRUE(Make(G::Int, {5, 0, 0, 0}).IsEqualInt(5));
    EXPECT_FALSE(Make(G::Int32, {5, 0, 0, 0}).IsEqualInt(5)) << "only an Int equals an integer";
}

TEST(UGeneralData, SetTypeKeepsContentOnlyForTheSameTypeAndSize) {
    G value = Make(G::String, {'x', 0, 0});
    value.SetType(G::String, 3);
    EXPECT_EQ(value.GetData()[0], 'x') << "the same type and size must keep the content";
    value.SetType(G::String, 12);
    EXPECT_EQ(Bytes(value.GetData(), value.GetData() + 12), Bytes(12, 0));
    value.SetType(G::Int, 0x7FFFFFFF);
    EXPECT_EQ(value.GetSize(), 4) << "a fixed type must take its size from the type alone";
    value.SetInt(7);
    // Types outside the table and negative sizes are refused and change nothing.
    for (const auto& [type, size] : {std::pair{15, 0}, {-1, 0}, {G::Binary, -4}}) {
        EXPECT_EQ(CodeOf([&] { value.SetType(type, size); }), 6) << type << " " << size;
    }
    EXPECT_TRUE(value.IsEqualInt(7));
    value.SetType(G::Unknown, 8);
    EXPECT_EQ(value.GetSize(), 0) << "an Unknown must never hold bytes";
}
