#include "UGeneralData_C.h"

#include <gtest/gtest.h>

#include "UMemoryFile.h"

using G = NS_Data::UGeneralData_C;
using Bytes = std::vector<unsigned char>;

namespace {

// A value of `type` holding `content`, made through the reading half of the file interface.
G Make(int32_t type, const Bytes& content) {
    G value;
    value.SetType(type, static_cast<int32_t>(content.size()));
    UMemoryFile file(content);
    value.ReadData(file);
    return value;
}

Bytes Stored(int32_t type, int32_t size, const Bytes& data) {
    UMemoryFile file;
    file.WriteInt32(type).WriteInt32(size).WriteBytes(data.data(),
                                                      static_cast<int32_t>(data.size()));
    return file.bytes;
}

int32_t ErrorCode(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        return error.GetCode();
    }
    return 0;
}

}  // namespace

TEST(UGeneralData, GetIntReadsIntegerTypesAndRefusesOthers) {
    struct Case {
        int32_t type;
        Bytes content;
        int32_t expected, code;
    } const cases[] = {
        {G::Int, {7, 0, 0, 0}, 7, 0},
        {G::Int32, {0xFE, 0xFF, 0xFF, 0xFF}, -2, 0},
        {G::Bool, {1, 0, 0, 0}, 1, 0},
        {G::Int16, {0xFF, 0xFF}, -1, 0},
        {G::Int64, {5, 0, 0, 0, 9, 0, 0, 0}, 5, 0},
        {G::Uint32, {5, 0, 0, 0}, 0, 2},
        {G::Float, {0, 0, 0x80, 0x3F}, 0, 2},
        {G::String, {'5', 0}, 0, 2},
        {G::Unknown, {}, 0, 2},
    };
    for (const Case& c : cases) {
        int32_t got = 0;
        EXPECT_EQ(ErrorCode([&] { got = Make(c.type, c.content).GetInt(); }), c.code) << c.type;
        EXPECT_EQ(got, c.expected) << "type " << c.type;
    }
}

TEST(UGeneralData, EqualityComparesTypeAndContent) {
    struct Case {
        G a, b;
        bool equal;
        const char* what;
    } const cases[] = {
        {G(), G(), true, "two Unknowns"},
        {G(), Make(G::Int, {0, 0, 0, 0}), false, "Unknown and Int 0"},
        {Make(G::Int, {5, 0, 0, 0}), Make(G::Int32, {5, 0, 0, 0}), false, "Int and Int32"},
        {Make(G::String, {'a', 0}), Make(G::String, {'a', 0, 'x'}), true, "texts end at zero"},
        {Make(G::String, {'a'}), Make(G::String, {'a', 0}), true, "or at the end of the buffer"},
        {Make(G::String, {}), Make(G::String, {0}), true, "no buffer is the empty text"},
        {Make(G::String, {'a'}), Make(G::String, {'b'}), false, "different texts"},
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
    value.SetInt(7);
    EXPECT_TRUE(value.IsEqualInt(7));
    EXPECT_EQ(value.GetSize(), 4);
    // Types outside the table and negative sizes are refused and change nothing.
    for (const auto& [type, size] : {std::pair{15, 0}, {-1, 0}, {G::Binary, -4}}) {
        EXPECT_EQ(ErrorCode([&] { value.SetType(type, size); }), 6) << type << " " << size;
    }
    EXPECT_TRUE(value.IsEqualInt(7));
    value.SetType(G::Unknown, 8);
    EXPECT_EQ(value.GetSize(), 0) << "an Unknown must never hold bytes";
}

TEST(UGeneralData, WriteThenReadGivesBackEveryType) {
    for (int32_t type = 0; type <= G::Unknown; ++type) {
        Bytes content(G::SizeOfType(type) ? G::SizeOfType(type) : type == G::Unknown ? 0 : 5);
        for (std::size_t i = 0; i < content.size(); ++i) {
            content[i] = static_cast<unsigned char>(0x10 * type + i + 1);
        }
        const int32_t size = static_cast<int32_t>(content.size());
        UMemoryFile file;
        Make(type, content).Write(file);
        EXPECT_EQ(file.bytes, Stored(type, size, content)) << "type " << type;
        G read;
        read.Read(file);
        EXPECT_TRUE(read == Make(type, content)) << "type " << type;
    }
}

TEST(UGeneralData, ReadTakesFixedSizesFromTheTypeAndRefusesImpossibleHeaders) {
    UMemoryFile wide(Stored(G::Int, 8, {2, 0, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD}));
    G value;
    value.Read(wide);
    EXPECT_TRUE(value.IsEqualInt(2));
    EXPECT_EQ(wide.GetRemaining(), 4) << "an Int must take 4 data bytes whatever its size field";

    const std::pair<int32_t, int32_t> refused[] = {{15, 4},         {-1, 4},
                                                   {G::Unknown, 4}, {G::String, -1},
                                                   {G::String, 5},  {G::Binary, 0x7FFFFFFF}};
    for (const auto& [type, size] : refused) {
        UMemoryFile file(Stored(type, size, {'a', 'b', 'c', 'd'}));
        EXPECT_EQ(ErrorCode([&] { value.Read(file); }), 6) << "type " << type << " size " << size;
        EXPECT_TRUE(value.IsEqualInt(2)) << "type " << type << " size " << size;
        EXPECT_EQ(file.GetRemaining(), 4) << "data of a refused header was read";
    }
}
