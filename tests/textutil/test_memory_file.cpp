// Reading an in-memory file back line by line.
#include "textutil/memory_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace murrel {
namespace {

using namespace std::string_literals;

std::vector<std::string> readAllLines(MemoryFile& file)
{
    std::vector<std::string> lines;
    file.seekToStart();
    while (!file.atEnd()) {
        lines.emplace_back(file.readLine().view());
    }
    return lines;
}

struct LinesCase
{
    const char* name;
    std::string data;
    std::vector<std::string> lines;
};

class ReadLineTest : public testing::TestWithParam<LinesCase> {};

TEST_P(ReadLineTest, SplitsAtLineFeeds)
{
    MemoryFile file;
    file.writeBytes(GetParam().data);
    EXPECT_EQ(readAllLines(file), GetParam().lines);
    EXPECT_TRUE(file.readLine().empty());
}

INSTANTIATE_TEST_SUITE_P(
    MemoryFile, ReadLineTest,
    testing::Values(LinesCase{"CrLf", "a\r\nb", {"a", "b"}}, LinesCase{"TrailingLineFeed", "a\nb\n", {"a", "b"}},
                    LinesCase{"EmptyLines", "\r\n\n", {"", ""}}, LinesCase{"LoneCarriageReturn", "a\rb\n", {"a\rb"}},
                    LinesCase{"CarriageReturnAtEnd", "a\r", {"a\r"}}, LinesCase{"KeepsNul", "a\0b\nc"s, {"a\0b"s, "c"}},
                    LinesCase{"Empty", "", {}}),
    [](const auto& info) { return info.param.name; });

TEST(MemoryFile, WritesTextWithoutNulOrLineEnd)
{
    MemoryFile file;
    file.writeText("ab");
    file.writeText("cd");
    EXPECT_EQ(file.size(), 4U);
    EXPECT_EQ(readAllLines(file), std::vector<std::string>{"abcd"});
}

TEST(MemoryFile, WritingAfterSeekOverwritesThenExtends)
{
    MemoryFile file;
    file.writeText("abc");
    file.seekToStart();
    file.writeText("XYZW");
    EXPECT_EQ(readAllLines(file), std::vector<std::string>{"XYZW"});
}

TEST(MemoryFile, ReadBytesTakesExactCountOrNothing)
{
    MemoryFile file;
    file.writeBytes("abc");
    file.seekToStart();
    EXPECT_EQ(file.readBytes(2), Bytes("ab"s));
    EXPECT_EQ(file.readBytes(2), std::nullopt);
    EXPECT_EQ(file.readBytes(1), Bytes("c"s));
    EXPECT_TRUE(file.atEnd());
}

}  // namespace
}  // namespace murrel
