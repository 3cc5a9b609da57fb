#include "KDebugCore.h"

#include "Utils.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> pieces;
void Record(std::string_view piece) { pieces.emplace_back(piece); }

std::vector<std::size_t> PieceSizes()
{
    std::vector<std::size_t> sizes;
    for (const std::string& p : pieces)
        sizes.push_back(p.size());
    return sizes;
}

class DebugPieces : public testing::Test {
protected:
    void SetUp() override { pieces.clear(); }
    DebugPieceBuffer out{Record};
};

TEST_F(DebugPieces, LongLineArrivesInPiecesOfAtMost128)
{
    const std::string line(300, 'x');
    out.WriteLine(line);
    EXPECT_EQ(PieceSizes(), (std::vector<std::size_t>{128, 128, 46}));
    EXPECT_EQ(pieces[2], std::string(44, 'x') + "\r\n");
}

TEST_F(DebugPieces, WritesWithoutLineEndWaitForTheLine)
{
    out.Write("12345 ");
    out.Write("Start");
    EXPECT_TRUE(pieces.empty());
    out.WriteLine(": TRUE");
    EXPECT_EQ(pieces, (std::vector<std::string>{"12345 Start: TRUE\r\n"}));
}

TEST_F(DebugPieces, LineEndsAtTheBufferBoundary)
{
    out.WriteLine(std::string(126, 'a')); // exactly fills the buffer with its CR LF
    out.WriteLine(std::string(127, 'b')); // the CR fills the buffer, the LF follows alone
    out.WriteLine("");
    EXPECT_EQ(PieceSizes(), (std::vector<std::size_t>{128, 128, 1, 2}));
    EXPECT_EQ(pieces[2], "\n");
    EXPECT_EQ(pieces[3], "\r\n");
}

TEST(DebugViewerText, StopsAtZeroByteAndLimit)
{
    EXPECT_EQ(ViewerText(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(ViewerText(std::string(20000, 'z')).size(), 10241u);
    EXPECT_EQ(ViewerText(""), "");
}

TEST(RunLog, FileNames)
{
    const struct {
        const char *program, *log;
    } cases[] = {
        {"setup.exe", "X_setup.log"},
        {"X_setup.exe", "X_setup.log"},
        {"x_setup.exe", "X_x_setup.log"},     // the prefix is matched with its letter case
        {"C:\\Prog\\Agent.v2.exe", "X_Agent.v2.log"},
        {"agent", "X_agent.log"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunLogFileName(c.program), c.log) << c.program;
}

TEST(RunLog, LineFormat)
{
    const TDateTime t = EncodeDateTime({2013, 3, 5, 14, 5, 9});
    EXPECT_EQ(RunLogLine(t, 852, "   ", "Start"), "05/03/13 14:05:09   852   Start\r\n");
    EXPECT_EQ(RunLogLine(t, 1234567, " X ", "Tick"), "05/03/13 14:05:09 1234567 X Tick\r\n");
}

} // namespace
