#include "UBinaryFile_C.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "UTempDirectory.h"

using NS_Data::UBinaryFile_C;
using NS_Data::UString_C;
using Bytes = std::vector<unsigned char>;

namespace {

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
    }
    return bytes;
}

std::size_t FirstDifference(const Bytes& a, const Bytes& b) {
    return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first -
                                    a.begin());
}

// The error that `action` raises, as "position code message"; empty when none.
std::string ErrorOf(const auto& action) {
    try {
        action();
    } catch (const NS_Base::UError_C& error) {
        return std::string(error.GetPosition()) + " " + std::to_string(error.GetCode()) + " " +
               error.GetInfo();
    }
    return "";
}

const std::string ReadFailure = "UBuffer_C 1 Fail to read data.";
const std::string WriteFailure = "UBuffer_C 2 Fail to write data.";
const std::string IncorrectState = "UFile_C 1 Incorrect state.";

class UBinaryFileTest : public testing::Test {
protected:
    UTempDirectory temp;
    const std::string path = temp.Path("data.bin");
};

}  // namespace

TEST_F(UBinaryFileTest, RunsAcrossTheBufferBoundariesReadBackWhole) {
    for (const std::size_t size : {0, 1, 29999, 30000, 30001, 60000, 60001, 70000}) {
        const Bytes written = Pattern(size);
        {
            UBinaryFile_C file;
            file.Create(path.c_str());
            file.WriteBytes(written.data(), static_cast<int32_t>(size));
            file.Close();
        }
        const Bytes stored = UTempDirectory::ReadFile(path);
        ASSERT_EQ(stored.size(), size);
        EXPECT_EQ(FirstDifference(stored, written), size) << "stored byte differs, size " << size;

        // Odd pieces so that reads straddle the refills.
        Bytes read(size);
        UBinaryFile_C file;
        file.Open(path.c_str());
        for (std::size_t at = 0; at < size; at += 4099) {
            file.ReadBytes(read.data() + at,
                           static_cast<int32_t>(std::min<std::size_t>(4099, size - at)));
        }
        EXPECT_EQ(FirstDifference(read, written), size) << "read byte differs, size " << size;
        unsigned char extra = 0;
        EXPECT_EQ(ErrorOf([&] { file.ReadBytes(&extra, 1); }), ReadFailure) << "size " << size;
    }
}

TEST_F(UBinaryFileTest, AFullBufferIsHandedOverOnlyWithTheNextByte) {
    const Bytes block = Pattern(30000);
    UBinaryFile_C file;
    file.Create(path.c_str());
    file.WriteBytes(block.data(), 30000);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    file.WriteBytes(block.data(), 1);
    EXPECT_EQ(std::filesystem::file_size(path), 30000u);
    file.Close();
    EXPECT_EQ(std::filesystem::file_size(path), 30001u);
}

TEST_F(UBinaryFileTest, IntegersAreLittleEndianAndTextsEndWithAZeroByte) {
    {
        UBinaryFile_C file;
        file.Create(path.c_str());
        file << 0x01020304 << -2;
        file.WriteText("ab").WriteText(UString_C());
        file.WriteBytes("x", 0);
        file.WriteBytes("x", -1);
        file.Close();
    }
    const Bytes expected = {4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 'a', 'b', 0, 0};
    EXPECT_EQ(UTempDirectory::ReadFile(path), expected);

    UBinaryFile_C file;
    file.Open(path.c_str());
    int32_t first = 0, second = 0;
    UString_C text, empty("not read");
    file >> first;
    file.ReadInt32(second).ReadText(text).ReadText(empty);
    EXPECT_EQ(first, 0x01020304);
    EXPECT_EQ(second, -2);
    EXPECT_STREQ(text.GetString(), "ab");
    EXPECT_STREQ(empty.GetString(), "");
}

TEST_F(UBinaryFileTest, TextsOfAnyLengthReadBackWhole) {
    const std::size_t lengths[] = {29998, 29999, 30000, 59998, 70000};
    {
        UBinaryFile_C file;
        file.Create(path.c_str());
        for (const std::size_t length : lengths) {
            file.WriteText(std::string(length, static_cast<char>('a' + length % 26)).c_str());
            file << static_cast<int32_t>(length);
        }
        file.Close();
    }
    UBinaryFile_C file;
    file.Open(path.c_str());
    for (const std::size_t length : lengths) {
        UString_C text;
        int32_t marker = 0;
        file.ReadText(text) >> marker;
        const std::string read = text.GetString();
        EXPECT_EQ(read.size(), length);
        EXPECT_EQ(read.find_first_not_of(static_cast<char>('a' + length % 26)), std::string::npos)
            << "text of " << length << " bytes";
        EXPECT_EQ(marker, static_cast<int32_t>(length)) << "the text's zero byte was not consumed";
    }
}

TEST_F(UBinaryFileTest, DataThatEndsEarlyRaisesReadFailure) {
    UTempDirectory::WriteFile(path, {1, 2, 3});
    UBinaryFile_C file;
    file.Open(path.c_str());
    int32_t value = 0;
    EXPECT_EQ(ErrorOf([&] { file >> value; }), ReadFailure);

    UTempDirectory::WriteFile(path, {'a', 'b'});
    UBinaryFile_C textFile;
    textFile.Open(path.c_str());
    UString_C text;
    EXPECT_EQ(ErrorOf([&] { textFile.ReadText(text); }), ReadFailure);
}

TEST_F(UBinaryFileTest, OperationsInTheWrongStateAreRefused) {
    UBinaryFile_C writer;
    writer.Create(path.c_str());
    writer << 7;
    int32_t value = 0;
    EXPECT_EQ(ErrorOf([&] { writer.Create(temp.Path("other").c_str()); }), IncorrectState);
    EXPECT_EQ(ErrorOf([&] { writer.Open(path.c_str()); }), IncorrectState);
    EXPECT_EQ(ErrorOf([&] { writer >> value; }), IncorrectState);
    EXPECT_FALSE(UTempDirectory::Exists(temp.Path("other")));
    writer.Close();
    EXPECT_EQ(UTempDirectory::ReadFile(path), (Bytes{7, 0, 0, 0})) << "the open file was disturbed";

    UBinaryFile_C closed;
    EXPECT_EQ(ErrorOf([&] { closed << 1; }), IncorrectState);
    EXPECT_EQ(ErrorOf([&] { closed.ReadBytes(&value, 0); }), IncorrectState);
}

TEST_F(UBinaryFileTest, PathsThatCannotBeOpenedOrKeptAreRefused) {
    const std::string tooLong = temp.Directory() + std::string(200, 'x');
    const std::string missing = temp.Path("missing/file");
    struct Case {
        std::string path;
        bool create;
        std::string error;
    };
    const Case cases[] = {
        {missing, false, "UFile_C 1 Fail to open pointed file."},
        {missing, true, "UFile_C 2 Fail to create pointed file."},
        {tooLong, false, "UFile_C 1 Fail to open pointed file."},
        {tooLong, true, "UFile_C 2 Fail to create pointed file."},
    };
    for (const Case& c : cases) {
        UBinaryFile_C file;
        EXPECT_EQ(
            ErrorOf([&] { c.create ? file.Create(c.path.c_str()) : file.Open(c.path.c_str()); }),
            c.error)
            << c.path;
        EXPECT_EQ(file.GetState(), UBinaryFile_C::Closed);
    }
    EXPECT_FALSE(UTempDirectory::Exists(tooLong)) << "a path too long to keep was created";
}

TEST_F(UBinaryFileTest, AWriterDestroyedWhileOpenDeletesItsFile) {
    {
        UBinaryFile_C file;
        file.Create(path.c_str());
        file << 1;
    }
    EXPECT_FALSE(UTempDirectory::Exists(path));
    {
        UBinaryFile_C file;
        file.Create(path.c_str());
        file << 1;
        file.Close();
    }
    EXPECT_TRUE(UTempDirectory::Exists(path)) << "a closed file was deleted";
}

TEST_F(UBinaryFileTest, AFailedLastWriteIsReportedAndTheFileDeleted) {
    if (!UTempDirectory::Exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full to stand for a full disk";
    }
    // Through a link, so that deleting the cut-short file removes only the link.
    const std::string link = temp.Path("full.bin");
    std::filesystem::create_symlink("/dev/full", link);
    {
        UBinaryFile_C file;
        file.Create(link.c_str());
        file << 1;
        EXPECT_EQ(ErrorOf([&] { file.Close(); }), WriteFailure);
    }
    EXPECT_FALSE(UTempDirectory::Exists(link));
    EXPECT_TRUE(UTempDirectory::Exists("/dev/full"));
}
