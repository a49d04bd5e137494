// Byte groups into integers and zlib buffers.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "ReporterGuard.h"
#include "toolkit/foundation/BufferCompression.h"

TEST(YYBytesToInt, LittleAndBigEndianSigned32Bit)
{
    struct Case { std::string bytes; INTEGER nbytes; INTEGER le; INTEGER be; } cases[] = {
        {"\x34\x12", 2, 4660, 0x34120000},
        {"\x78\x56\x34\x12", 4, 305419896, 0x78563412},
        {"\x12\x34\x56\x78", 4, 0x78563412, 305419896},
        {"\xFF\xFF\xFF\xFE", 4, -16777217, -2},
        {"\xFF\xFF\xFF\xFF", 2, 65535, -1},
        {"\x01", 4, 1, 0x01000000},  // missing bytes count as zero
    };
    for (const auto& c : cases) {
        INTEGER le = 0, be = 0;
        YYBytesToIntLE(c.bytes, c.nbytes, le);
        YYBytesToIntBE(c.bytes, be);
        EXPECT_EQ(le, c.le);
        EXPECT_EQ(be, c.be);
    }
    EXPECT_EQ(YYCharCode("\xE9x"), 233);
    EXPECT_EQ(YYCharCode(""), 0);
}

TEST(WCompress, RoundTripOfTextAndIntegerBuffers)
{
    ReporterGuard guard;
    std::string source;
    for (int i = 0; i < 2000; ++i) source += "layer " + std::to_string(i % 7) + ";";
    std::vector<unsigned char> packed(source.size() + 64);
    INTEGER packedLength = static_cast<INTEGER>(packed.size());
    WCompress(source, packed, static_cast<INTEGER>(source.size()), packedLength);
    ASSERT_GT(packedLength, 0);
    EXPECT_LT(packedLength, static_cast<INTEGER>(source.size()) / 10);
    EXPECT_EQ(packed[0], 0x78);  // zlib's own header, nothing of the toolkit's before it

    std::string unpacked(source.size(), ' ');
    INTEGER unpackedLength = static_cast<INTEGER>(unpacked.size());
    WUnCompress(packed, unpacked, packedLength, unpackedLength);
    EXPECT_EQ(unpackedLength, static_cast<INTEGER>(source.size()));
    EXPECT_EQ(unpacked, source);

    std::array<INTEGER, 64> words{};
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<INTEGER>(i * i);
    std::array<INTEGER, 128> store{};
    INTEGER storeLength = static_cast<INTEGER>(sizeof store);
    WCompress(words, store, static_cast<INTEGER>(sizeof words), storeLength);
    std::array<INTEGER, 64> back{};
    INTEGER backLength = static_cast<INTEGER>(sizeof back);
    WUnCompress(store, back, storeLength, backLength);
    EXPECT_EQ(back, words);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}

TEST(WCompress, FailuresReport1044WithTheZlibText)
{
    ReporterGuard guard;
    WErrorReportMode(kReportConsole);
    const std::string notZlib = "this is no zlib stream at all";
    std::string dest(100, ' ');
    INTEGER destLength = 100;
    WUnCompress(notZlib, dest, static_cast<INTEGER>(notZlib.size()), destLength);
    EXPECT_EQ(destLength, 0);
    EXPECT_EQ(ReporterGuard::records().back(),
              " Routine:WUnCompress Error=1044:Zlib compression/decompression error: data error");

    const std::string source(1000, 'q');
    std::string tiny(4, ' ');
    destLength = 4;
    WCompress(source, tiny, 1000, destLength);
    EXPECT_EQ(destLength, 0);
    EXPECT_EQ(ReporterGuard::records().back(),
              " Routine:WCompress Error=1044:Zlib compression/decompression error: buffer error");

    // A source length beyond its buffer is refused instead of read past.
    destLength = 100;
    WCompress(notZlib, dest, 5000, destLength);
    EXPECT_EQ(destLength, 0);
    EXPECT_EQ(libraryErrorState().SystemDetailCode, -2);
}
