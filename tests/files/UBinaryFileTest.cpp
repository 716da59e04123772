#include "files/UBinaryFile_C.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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
    // Sizes on either side of the 30000-byte buffer's boundaries.
    for (const std::size_t size : {0, 1, 29999, 30000, 30001, 60001, 70000}) {
        Bytes written(size);
        for (std::size_t i = 0; i < size; ++i) {
            written[i] = static_cast<unsigned char>(i * 7 + i / 251);
        }
        UBinaryFile_C writer;
        writer.Create(path.c_str());
        writer.WriteBytes(written.data(), static_cast<int32_t>(size));
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
    const std::string fifo = temp.root + "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    UBinaryFile_C writer, closed;
    writer.Create(path.c_str());
    writer << 7;
    int32_t value = 0;
    EXPECT_EQ(ErrorOf([&] { writer >> value; }), IncorrectState);
    EXPECT_EQ(ErrorOf([&] { writer.Open(path.c_str()); }), IncorrectState);
    EXPECT_EQ(ErrorOf([&] { closed << 1; }), IncorrectState);
    alarm(20);  // a FIFO opened as a file would wait for a peer that never comes
    for (const std::string& bad : {temp.root + "missing/file", tooLong, fifo, temp.root}) {
        EXPECT_EQ(ErrorOf([&] { closed.Open(bad.c_str()); }),
                  "UFile_C 1 Fail to open pointed file.")
            << bad;
        EXPECT_EQ(CodeOf([&] { closed.Create(bad.c_str()); }), 2) << bad;
    }
    alarm(0);
    EXPECT_FALSE(Exists(tooLong)) << "a path too long to keep was created";
    EXPECT_TRUE(std::filesystem::is_fifo(fifo)) << "the FIFO was replaced";
    writer.Close();
    EXPECT_EQ(ReadFile(path), (Bytes{7, 0, 0, 0})) << "a refused call disturbed the open file";
}

// The old file stays until a new one is complete; a failed write leaves no temporary file.
TEST_F(UBinaryFileTest, AWriteAbandonedOrCutShortLeavesTheOldFileWhole) {
    const Bytes old = {'o', 'l', 'd'};
    for (const bool full : {false, true}) {
        WriteFile(path, old);
        UBinaryFile_C file;
        file.Create(path.c_str());
        file.WriteBytes(std::string(40000, 'n').data(), 40000);
        EXPECT_EQ(ReadFile(path), old) << "the old file changed before Close";
        if (full) {
            const UFileSizeLimit limit(50000);
            file.WriteBytes(std::string(20000, 'n').data(), 20000);
            EXPECT_EQ(ErrorOf([&] { file.Close(); }), "UBuffer_C 2 Fail to write data.");
        }
    }
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(NamesWith(temp.root, ".tmp"), std::vector<std::string>{});
}
