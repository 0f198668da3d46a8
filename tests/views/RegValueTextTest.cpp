// The renderings are checked on blocks of exactly the data length, allocated
// on their own, so that the sanitizers of the native build catch any read
// past the end.
#include "views/RegValueText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A heap block holding exactly these bytes and nothing after them.
class CExactBlock {
public:
    CExactBlock(std::initializer_list<int> bytes) : CExactBlock(std::vector<int>(bytes)) {}
    explicit CExactBlock(const std::vector<int>& bytes)
        : m_size(static_cast<uint32_t>(bytes.size())), m_data(new uint8_t[bytes.size()])
    {
        for (size_t i = 0; i < bytes.size(); ++i)
            m_data[i] = static_cast<uint8_t>(bytes[i]);
    }
    explicit CExactBlock(const std::string& text)
        : m_size(static_cast<uint32_t>(text.size())), m_data(new uint8_t[text.size()])
    {
        for (size_t i = 0; i < text.size(); ++i)
            m_data[i] = static_cast<uint8_t>(text[i]);
    }
    const uint8_t* data() const { return m_data.get(); }
    uint32_t size() const { return m_size; }

private:
    uint32_t m_size;
    std::unique_ptr<uint8_t[]> m_data;
};

std::vector<int> Counting(int n)
{
    std::vector<int> v;
    for (int i = 0; i < n; ++i)
        v.push_back(i);
    return v;
}

const char kSixteen[] = "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r\n";

TEST(RegHexDump, SixteenBytesAreOneLineEndedByALineBreak)
{
    CExactBlock b(Counting(16));
    EXPECT_EQ(RegHexDump(b.data(), b.size()), kSixteen);
}

TEST(RegHexDump, TheSeventeenthByteStartsASecondLineWithNoBreakAfterIt)
{
    CExactBlock b(Counting(17));
    EXPECT_EQ(RegHexDump(b.data(), b.size()), std::string(kSixteen) + "10 ");
}

TEST(RegHexDump, EmptyDataGiveAnEmptyText)
{
    EXPECT_EQ(RegHexDump(nullptr, 0), "");
}

TEST(RegHexDump, UppercaseDigitsAndEveryLineOfThirtyTwoBytes)
{
    CExactBlock b({0xAB, 0xcd, 0xFF, 0x00, 0x7F});
    EXPECT_EQ(RegHexDump(b.data(), b.size()), "AB CD FF 00 7F ");
    std::vector<int> bytes(32, 0xEE);
    CExactBlock two(bytes);
    std::string line;
    for (int i = 0; i < 16; ++i)
        line += "EE ";
    line += "\r\n";
    EXPECT_EQ(RegHexDump(two.data(), two.size()), line + line);
}

TEST(RegHexDump, AQwordIsShownAsItsEightBytes)
{
    // REG_QWORD 0x0102030405060708 as the registry stores it.
    CExactBlock b({0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01});
    EXPECT_EQ(RegHexDump(b.data(), b.size()), "08 07 06 05 04 03 02 01 ");
}

TEST(RegHexDump, AMegabyteKeepsItsShape)
{
    std::vector<int> bytes(1 << 20);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<int>(i * 7 & 0xFF);
    CExactBlock b(bytes);
    std::string dump = RegHexDump(b.data(), b.size());
    ASSERT_EQ(dump.size(), (1u << 20) * 3 + (1u << 16) * 2);
    // Line 1000 starts with byte 16,000.
    size_t at = 1000 * 50;
    char expected[4];
    std::snprintf(expected, sizeof expected, "%02X ", static_cast<unsigned>(16000 * 7 & 0xFF));
    EXPECT_EQ(dump.substr(at, 3), expected);
    EXPECT_EQ(dump.substr(dump.size() - 2), "\r\n");
}

TEST(RegDwordText, LeastSignificantByteFirst)
{
    CExactBlock max({0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(RegDwordText(max.data(), max.size()), "4294967295");
    CExactBlock one({0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(RegDwordText(one.data(), one.size()), "1");
    CExactBlock mixed({0x78, 0x56, 0x34, 0x12});
    EXPECT_EQ(RegDwordText(mixed.data(), mixed.size()), "305419896");
}

TEST(RegDwordText, OnlyTheFirstFourBytesCount)
{
    CExactBlock b({0x02, 0x00, 0x00, 0x00, 0xFF, 0xFF});
    EXPECT_EQ(RegDwordText(b.data(), b.size()), "2");
}

TEST(RegDwordText, ShortDataGiveTheNumberOfTheBytesThereAre)
{
    CExactBlock two({0x01, 0x02});
    EXPECT_EQ(RegDwordText(two.data(), two.size()), "513");
    CExactBlock three({0xFF, 0xFF, 0xFF});
    EXPECT_EQ(RegDwordText(three.data(), three.size()), "16777215");
    EXPECT_EQ(RegDwordText(nullptr, 0), "0");
}

TEST(RegStringText, TheTextEndsAtItsTerminator)
{
    CExactBlock b(std::string("C:\\Program Files\0junk", 21));
    EXPECT_EQ(RegStringText(b.data(), b.size()), "C:\\Program Files");
}

TEST(RegStringText, ExpandableTextIsShownAsStored)
{
    CExactBlock b(std::string("%SystemRoot%\\system32\0", 22));
    EXPECT_EQ(RegStringText(b.data(), b.size()), "%SystemRoot%\\system32");
}

TEST(RegStringText, UnterminatedDataShowEveryByte)
{
    CExactBlock b(std::string("abc"));
    EXPECT_EQ(RegStringText(b.data(), b.size()), "abc");
    CExactBlock accents(std::string("Caf\xE9 \xC4rger"));
    EXPECT_EQ(RegStringText(accents.data(), accents.size()), "Caf\xE9 \xC4rger");
}

TEST(RegStringText, EmptyDataAndAnEmptyStringShowNothing)
{
    EXPECT_EQ(RegStringText(nullptr, 0), "");
    CExactBlock zero({0});
    EXPECT_EQ(RegStringText(zero.data(), zero.size()), "");
}

TEST(RegStringListText, EachStringOnItsOwnLineUpToTheEmptyOne)
{
    CExactBlock b(std::string("one\0two\0three\0\0", 15));
    EXPECT_EQ(RegStringListText(b.data(), b.size()), "one\r\ntwo\r\nthree\r\n");
}

TEST(RegStringListText, NothingAfterTheFirstEmptyStringIsShown)
{
    CExactBlock b(std::string("one\0\0hidden\0\0", 13));
    EXPECT_EQ(RegStringListText(b.data(), b.size()), "one\r\n");
}

TEST(RegStringListText, AListWhoseFirstStringIsEmptyShowsNothing)
{
    CExactBlock b(std::string("\0two\0\0", 6));
    EXPECT_EQ(RegStringListText(b.data(), b.size()), "");
    EXPECT_EQ(RegStringListText(nullptr, 0), "");
}

TEST(RegStringListText, AListWithoutItsClosingEmptyStringEndsWithTheData)
{
    CExactBlock terminated(std::string("one\0two\0", 8));
    EXPECT_EQ(RegStringListText(terminated.data(), terminated.size()), "one\r\ntwo\r\n");
    CExactBlock unterminated(std::string("one\0tw", 6));
    EXPECT_EQ(RegStringListText(unterminated.data(), unterminated.size()), "one\r\ntw\r\n");
    CExactBlock single(std::string("x"));
    EXPECT_EQ(RegStringListText(single.data(), single.size()), "x\r\n");
}

TEST(RegTypeLine, TheTextOfEachShownType)
{
    EXPECT_EQ(RegTypeLine(1), "REG_SZ (Normal String)");
    EXPECT_EQ(RegTypeLine(2), "REG_EXPAND_SZ (Expandable String)");
    EXPECT_EQ(RegTypeLine(3), "REG_BINARY (binary data)");
    EXPECT_EQ(RegTypeLine(4), "REG_DWORD (32-bit Number)");
    EXPECT_EQ(RegTypeLine(6), "REG_LINK (unicode symbolic link)");
    EXPECT_EQ(RegTypeLine(7), "REG_MULTI_SZ (array of strings)");
    for (uint32_t t : {8u, 9u, 10u})
        EXPECT_EQ(RegTypeLine(t), "REG_RESOURCE_LIST, ... (resource list)") << t;
    EXPECT_EQ(RegTypeLine(11), "REG_QWORD (64-bit Number)");
    for (uint32_t t : {0u, 5u, 12u, 4294967295u})
        EXPECT_EQ(RegTypeLine(t), "") << t;
}

}  // namespace
