#include "UGeneralData_C.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "UMemoryFile.h"

using NS_Data::UGeneralData_C;
using Bytes = std::vector<unsigned char>;

namespace {

UGeneralData_C Make(int32_t type, const Bytes& content) {
    UGeneralData_C value;
    value.SetType(type, static_cast<int32_t>(content.size()));
    UMemoryFile file;
    file.WriteBytes(content.data(), static_cast<int32_t>(content.size()));
    value.ReadData(file);
    return value;
}

Bytes Header(int32_t type, int32_t size) {
    UMemoryFile file;
    file.WriteInt32(type).WriteInt32(size);
    return file.Bytes();
}

int32_t ErrorCode(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        EXPECT_STREQ(error.GetPosition(), "UGeneralData_C");
        return error.GetCode();
    }
    return 0;
}

}  // namespace

TEST(UGeneralData, GetIntReadsIntegerTypesAndRefusesOthers) {
    struct Case {
        int32_t type;
        Bytes content;
        int32_t expected;  // 0 with code 2 expected when the type holds no integer
        int32_t code;
    };
    const Case cases[] = {
        {UGeneralData_C::Int, {7, 0, 0, 0}, 7, 0},
        {UGeneralData_C::Int32, {0xFE, 0xFF, 0xFF, 0xFF}, -2, 0},
        {UGeneralData_C::Bool, {1, 0, 0, 0}, 1, 0},
        {UGeneralData_C::Int16, {0xFF, 0xFF}, -1, 0},
        {UGeneralData_C::Int64, {5, 0, 0, 0, 9, 0, 0, 0}, 5, 0},
        {UGeneralData_C::Uint32, {5, 0, 0, 0}, 0, 2},
        {UGeneralData_C::Float, {0, 0, 0x80, 0x3F}, 0, 2},
        {UGeneralData_C::String, {'5', 0}, 0, 2},
        {UGeneralData_C::Unknown, {}, 0, 2},
    };
    for (const Case& c : cases) {
        const UGeneralData_C value = Make(c.type, c.content);
        int32_t got = 0;
        EXPECT_EQ(ErrorCode([&] { got = value.GetInt(); }), c.code) << "type " << c.type;
        EXPECT_EQ(got, c.expected) << "type " << c.type;
    }
}

TEST(UGeneralData, EqualityComparesTypeAndContent) {
    using G = UGeneralData_C;
    struct Case {
        G a, b;
        bool equal;
        const char* what;
    };
    const Case cases[] = {
        {G(), G(), true, "two Unknowns"},
        {G(), Make(G::Int, {0, 0, 0, 0}), false, "Unknown and Int 0"},
        {Make(G::Int, {5, 0, 0, 0}), Make(G::Int, {5, 0, 0, 0}), true, "Int 5 and Int 5"},
        {Make(G::Int, {5, 0, 0, 0}), Make(G::Int32, {5, 0, 0, 0}), false, "Int and Int32"},
        {Make(G::String, {'a', 'b', 0}), Make(G::String, {'a', 'b', 0, 'x', 0}), true,
         "texts that end at the same zero byte"},
        {Make(G::String, {'a', 'b'}), Make(G::String, {'a', 'b', 0}), true,
         "a text without its zero byte ends with its buffer"},
        {Make(G::String, {}), Make(G::String, {0}), true, "no buffer counts as the empty text"},
        {Make(G::String, {'a', 'b'}), Make(G::String, {'a', 'c'}), false, "different texts"},
        {Make(G::Binary, {1, 2}), Make(G::Binary, {1, 2, 0}), false, "binaries of other sizes"},
        {Make(G::Binary, {1, 2}), Make(G::Binary, {1, 2}), true, "equal binaries"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a.IsEqual(c.b), c.equal) << c.what;
        EXPECT_EQ(c.b == c.a, c.equal) << c.what;
    }
    EXPECT_TRUE(Make(G::Int, {5, 0, 0, 0}).IsEqualInt(5));
    EXPECT_FALSE(Make(G::Int32, {5, 0, 0, 0}).IsEqualInt(5)) << "only an Int equals an integer";
}

TEST(UGeneralData, SetTypeKeepsContentOnlyForTheSameTypeAndSize) {
    UGeneralData_C value;
    value.SetType(UGeneralData_C::String, 10);
    ASSERT_EQ(value.GetSize(), 10);
    EXPECT_EQ(Bytes(value.GetData(), value.GetData() + 10), Bytes(10, 0));
    const_cast<unsigned char*>(value.GetData())[0] = 'x';
    value.SetType(UGeneralData_C::String, 10);
    EXPECT_EQ(value.GetData()[0], 'x') << "same type and size must keep the content";
    value.SetType(UGeneralData_C::String, 12);
    EXPECT_EQ(Bytes(value.GetData(), value.GetData() + 12), Bytes(12, 0));

    value.SetInt(7);
    EXPECT_EQ(value.GetType(), UGeneralData_C::Int);
    EXPECT_EQ(value.GetSize(), 4);
    EXPECT_EQ(value.GetInt(), 7);
}

TEST(UGeneralData, SetTypeRefusesTypesOutsideTheTableAndNegativeSizes) {
    UGeneralData_C value;
    value.SetInt(3);
    EXPECT_EQ(ErrorCode([&] { value.SetType(15); }), 6);
    EXPECT_EQ(ErrorCode([&] { value.SetType(-1); }), 6);
    EXPECT_EQ(ErrorCode([&] { value.SetType(UGeneralData_C::Binary, -4); }), 6);
    EXPECT_TRUE(value.IsEqualInt(3)) << "a refused SetType changed the value";
    value.SetType(UGeneralData_C::Unknown, 8);
    EXPECT_EQ(value.GetSize(), 0) << "an Unknown must never hold bytes";
}

TEST(UGeneralData, CopiesAreIndependent) {
    UGeneralData_C original = Make(UGeneralData_C::Binary, {1, 2, 3});
    const UGeneralData_C copy = original;
    const_cast<unsigned char*>(original.GetData())[0] = 9;
    EXPECT_EQ(copy.GetData()[0], 1);
    EXPECT_NE(copy.GetData(), original.GetData());
    original = copy;
    EXPECT_TRUE(original == copy);
}

TEST(UGeneralData, WriteThenReadGivesTheSameValueForEveryType) {
    for (int32_t type = 0; type <= UGeneralData_C::Unknown; ++type) {
        const int32_t size = UGeneralData_C::SizeOfType(type)  ? UGeneralData_C::SizeOfType(type)
                             : type == UGeneralData_C::Unknown ? 0
                                                               : 5;
        Bytes content(size);
        for (int32_t i = 0; i < size; ++i) {
            content[i] = static_cast<unsigned char>(0x10 * type + i + 1);
        }
        const UGeneralData_C written = Make(type, content);
        UMemoryFile file;
        written.Write(file);
        Bytes expected = Header(type, size);
        expected.insert(expected.end(), content.begin(), content.end());
        EXPECT_EQ(file.Bytes(), expected) << "type " << type;

        UGeneralData_C read;
        UMemoryFile source(file.Bytes());
        read.Read(source);
        EXPECT_TRUE(read == written) << "type " << type;
        EXPECT_EQ(source.GetRemaining(), 0) << "type " << type;
    }
}

TEST(UGeneralData, FixedTypesReadTheirOwnSizeWhateverTheFileSays) {
    Bytes stored = Header(UGeneralData_C::Int, 8);
    stored.insert(stored.end(), {2, 0, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD});
    UMemoryFile file(stored);
    UGeneralData_C value;
    value.Read(file);
    EXPECT_TRUE(value.IsEqualInt(2));
    EXPECT_EQ(file.GetRemaining(), 4);
}

TEST(UGeneralData, ReadRefusesHeadersThatWriteCannotProduce) {
    struct Case {
        int32_t type, size;
        int32_t dataBytes;
    };
    const Case cases[] = {
        {15, 4, 4},
        {-1, 4, 4},
        {UGeneralData_C::Unknown, 4, 4},
        {UGeneralData_C::String, -1, 4},
        {UGeneralData_C::String, 5, 4},
        {UGeneralData_C::Binary, 0x7FFFFFFF, 4},
    };
    for (const Case& c : cases) {
        Bytes stored = Header(c.type, c.size);
        stored.resize(stored.size() + c.dataBytes, 'z');
        UMemoryFile file(stored);
        UGeneralData_C value;
        value.SetInt(9);
        EXPECT_EQ(ErrorCode([&] { value.Read(file); }), 6)
            << "type " << c.type << " size " << c.size;
        EXPECT_TRUE(value.IsEqualInt(9)) << "type " << c.type << " size " << c.size;
        EXPECT_EQ(file.GetRemaining(), c.dataBytes) << "read into data of a refused header";
    }
}
