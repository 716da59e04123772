#include "files/UBinaryFile_C.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"

using NS_Data::UBinaryFile_C;
using NS_Data::UString_C;

// Runs and texts on either side of the 30000-byte buffer's boundaries, each followed by an
// integer, read back in pieces that straddle the refills.
TEST(UBinaryFile, RunsAndTextsAcrossTheBufferBoundariesComeBackWhole) {
    const UTempDirectory temp;
    const std::string path = temp.root + "data.bin";
    for (const std::size_t size : {0, 1, 29999, 30000, 30001, 70000}) {
        Bytes written(size);
        for (std::size_t i = 0; i < size; ++i) {
            written[i] = static_cast<unsigned char>(i * 7 + i / 251 + 1);
        }
        const std::string text(size, char('a' + size % 26));
        UBinaryFile_C writer;
        writer.Create(path.c_str());
        writer.WriteBytes(written.data(), static_cast<int32_t>(size));
        writer.WriteText(text.c_str()).WriteInt32(-2);
        writer.Close();

        Bytes read(size);
        UBinaryFile_C reader;
        reader.Open(path.c_str());
        for (std::size_t at = 0; at < size; at += 4099) {
            reader.ReadBytes(&read[at],
                             static_cast<int32_t>(std::min<std::size_t>(4099, size - at)));
        }
        EXPECT_TRUE(read == written) << "the run of " << size << " bytes came back changed";
        UString_C back("stale");
        int32_t value = 0;
        reader.ReadText(back).ReadInt32(value);
        EXPECT_EQ(std::string(back.GetString()), text) << "a text of " << size << " bytes";
        EXPECT_EQ(value, -2) << "the zero byte after " << size << " bytes was not consumed";
        EXPECT_EQ(FailureOf([&] { reader.ReadText(back); }), "UBuffer_C 1 Fail to read data.|")
            << "nothing left";
    }
}
