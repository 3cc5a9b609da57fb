#include "ZLibOpen.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>

namespace {

std::string Compress(std::string_view data, int level = 9)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                        static_cast<uLong>(data.size()), level),
              Z_OK);
    out.resize(size);
    return out;
}

std::string Mixed(std::size_t size)
{
    std::string bytes(size, '\0');
    unsigned seed = 7;
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245 + 12345;
        bytes[i] = static_cast<char>(i % 3 == 0 ? seed >> 16 : 'a' + i % 17);
    }
    return bytes;
}

struct Streamed {
    std::string out;
    std::size_t largestPiece = 0;
    int rounds = 0;
};

// Feeds the stream in pieces of the given size, as the extraction does with its reads.
Streamed InflateInPieces(std::string_view stream, std::size_t pieceSize)
{
    Streamed result;
    TZLibInflater inflater([&result] { ++result.rounds; });
    for (std::size_t at = 0; at < stream.size(); at += pieceSize)
        inflater.Feed(stream.substr(at, pieceSize), [&result](std::string_view piece) {
            result.out.append(piece);
            result.largestPiece = std::max(result.largestPiece, piece.size());
        });
    inflater.Finish();
    return result;
}

TEST(ZLibOpen, InflatesWhateverTheInputPieces)
{
    const std::string data = Mixed(300000);
    const std::string stream = Compress(data);
    for (const std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(4096), std::size_t(65536), stream.size()}) {
        SCOPED_TRACE(piece);
        EXPECT_EQ(InflateInPieces(stream, piece).out, data);
    }
    EXPECT_EQ(Inflate(stream), data);
    EXPECT_EQ(Inflate(Compress("")), "");
}

TEST(ZLibOpen, OutputOfAHighlyCompressibleRecordComesInBoundedPieces)
{
    // 64 MiB of one byte compress to about 64 KiB; the output must never be held whole.
    const std::string data(64u << 20, 'z');
    const Streamed streamed = InflateInPieces(Compress(data), 65536);
    EXPECT_EQ(streamed.out.size(), data.size());
    EXPECT_TRUE(streamed.out == data);
    EXPECT_LE(streamed.largestPiece, 262144u);
    EXPECT_GT(streamed.rounds, 100) << "the caller's window is served between rounds";
}

TEST(ZLibOpen, BytesAfterTheEndOfTheStreamAreIgnored)
{
    EXPECT_EQ(Inflate(Compress("record") + "trailing bytes"), "record");
}

TEST(ZLibOpen, DamagedStreamsRaiseEZLibErrorWithZlibsText)
{
    const std::string good = Compress(Mixed(20000));
    std::string badHeader = good;
    badHeader[0] = 0x79;
    std::string badChecksum = good;
    badChecksum[badChecksum.size() - 1] ^= 0x55;
    std::string badData = good;
    for (std::size_t i = 10; i < 40; ++i)
        badData[i] = static_cast<char>(0xFF);
    const struct {
        const char* what;
        std::string stream;
        const char* message;
    } cases[] = {
        {"header", badHeader, "data error"},
        {"Adler-32", badChecksum, "data error"},
        {"deflate data", badData, "data error"},
        {"cut short", good.substr(0, good.size() / 2), "buffer error"},
        {"empty", "", "buffer error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            InflateInPieces(c.stream, 1000);
            ADD_FAILURE() << "no EZLibError";
        } catch (const EZLibError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

} // namespace
