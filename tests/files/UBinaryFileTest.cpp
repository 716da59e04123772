#include "files/UBinaryFile_C.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"

using NS_Data::UBinaryFile_C;
using NS_Data::UString_C;

namespace {

const std::string ReadFailure = "UBuffer_C 1 Fail to read data.";
const std::string IncorrectState = "UFile_C 1 Incorrect state.";

std::size_t FirstDifference(const Bytes& a, const Bytes& b) {
    return std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
}

class UBinaryFileTest : public testing::Test {
protected:
    UTempDirectory temp;
    const std::string path = temp.root + "data.bin";
};

}  // namespace

TEST_F(UBinaryFileTest, RunsAcrossTheBufferBoundariesComeBackWhole) {
    // A full 30000-byte buffer is handed to the system only with the next byte.
    for (const std::size_t size : {0, 1, 29999, 30000, 30001, 60001, 70000}) {
        Bytes written(size);
        for (std::size_t i = 0; i < size; ++i) {
            written[i] = static_cast<unsigned char>(i * 7 + i / 251);
        }
        UBinaryFile_C writer;
        writer.Create(path.c_str());
        writer.WriteBytes(written.data(), static_cast<int32_t>(size));
        EXPECT_EQ(std::filesystem::file_size(path), size == 0 ? 0 : (size - 1) / 30000 * 30000)
            << "bytes handed over before Close, size " << size;
        writer.Close();
        EXPECT_EQ(FirstDifference(ReadFile(path), written), size) << "stored byte, size " << size;

        Bytes read(size);
        UBinaryFile_C reader;
        reader.Open(path.c_str());
        for (std::size_t at = 0; at < size; at += 4099) {  // pieces that straddle the refills
            reader.ReadBytes(&read[at],
                             static_cast<int32_t>(std::min<std::size_t>(4099, size - at)));
        }
        EXPECT_EQ(FirstDifference(read, written), size) << "read byte, size " << size;
        EXPECT_EQ(ErrorOf([&] { reader.ReadBytes(&read, 1); }), ReadFailure) << "size " << size;
    }
}

TEST_F(UBinaryFileTest, IntegersAreLittleEndianAndTextsOfAnyLengthComeBackWhole) {
    const std::size_t lengths[] = {0, 2, 29999, 30000, 70000};
    UBinaryFile_C writer;
    writer.Create(path.c_str());
    writer << 0x01020304;
    for (const std::size_t length : lengths) {
        writer.WriteText(std::string(length, 'a' + length % 26).c_str()).WriteInt32(-2);
    }
    writer.Close();
    const Bytes stored = ReadFile(path);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 9),
              (Bytes{4, 3, 2, 1, 0, 0xFE, 0xFF, 0xFF, 0xFF}));

    UBinaryFile_C reader;
    reader.Open(path.c_str());
    int32_t value = 0;
    EXPECT_EQ((reader >> value, value), 0x01020304);
    for (const std::size_t length : lengths) {
        UString_C text("stale");
        reader.ReadText(text).ReadInt32(value);
        EXPECT_EQ(std::string(text.GetString()), std::string(length, 'a' + length % 26));
        EXPECT_EQ(value, -2) << "the zero byte after " << length << " bytes was not consumed";
    }
    UString_C rest;
    EXPECT_EQ(ErrorOf([&] { reader.ReadText(rest); }), ReadFailure) << "no text left to read";
}

TEST_F(UBinaryFileTest, RefusesWhatItsStateOrThePathDoesNotAllow) {
    const std::string tooLong = temp.root + std::string(200 - temp.root.size(), 'x');
    UBinaryFile_C writer, closed;
    writer.Create(path.c_str());
    writer << 7;
    int32_t value = 0;
    EXPECT_EQ(ErrorOf([&] { writer >> value; }), IncorrectState);
    EXPECT_EQ(ErrorOf([&] { writer.Open(path.c_str()); }), IncorrectState);
    EXPECT_EQ(ErrorOf([&] { closed << 1; }), IncorrectState);
    for (const std::string& bad : {temp.root + "missing/file", tooLong}) {
        EXPECT_EQ(ErrorOf([&] { closed.Open(bad.c_str()); }),
                  "UFile_C 1 Fail to open pointed file.");
        EXPECT_EQ(CodeOf([&] { closed.Create(bad.c_str()); }), 2) << bad;
    }
    EXPECT_FALSE(Exists(tooLong)) << "a path too long to keep was created";
    writer.Close();
    EXPECT_EQ(ReadFile(path), (Bytes{7, 0, 0, 0})) << "a refused call disturbed the open file";
}

TEST_F(UBinaryFileTest, AWriterDestroyedOpenOrCutShortLeavesNoFile) {
    std::vector<std::string> names = {"open", "closed"};
    if (Exists("/dev/full")) {  // a link to it stands for a full disk; deleting removes the link
        std::filesystem::create_symlink("/dev/full", temp.root + "full");
        names.push_back("full");
    }
    for (const std::string& name : names) {
        UBinaryFile_C file;
        file.Create((temp.root + name).c_str());
        file << 1;
        const std::string error = name == "open" ? "" : ErrorOf([&] { file.Close(); });
        EXPECT_EQ(error, name == "full" ? "UBuffer_C 2 Fail to write data." : "") << name;
    }
    EXPECT_FALSE(Exists(temp.root + "open")) << "a writer destroyed while open kept its file";
    EXPECT_TRUE(Exists(temp.root + "closed")) << "a closed file was deleted";
    EXPECT_FALSE(Exists(temp.root + "full")) << "a file cut short was kept";
}
