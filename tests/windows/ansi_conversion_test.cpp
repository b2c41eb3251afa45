#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "../code_page.h"
#include "text/ansi_conversion.h"
#include "text/plain_text.h"

namespace {

// What the OS's own path makes of a UTF-8 text.
std::string os_ansi(const std::string& utf8)
{
    return ansi_of(wide_of(utf8, CP_UTF8));
}

// Converts into a buffer of exactly the source's length plus one, as the
// preferences page does, with a guard byte behind it; with the source's
// length as the limit, and with no limit but the NUL, the same text.
std::string ansi(const std::string& utf8)
{
    std::string converted[2];
    const uint32_t limits[2] = {uint32_t(utf8.size()), unbounded};
    for (int i = 0; i < 2; ++i) {
        std::vector<char> out(utf8.size() + 2, '\x5A');
        const uint32_t n = convert_utf8_to_ansi(utf8.c_str(), out.data(), uint32_t(utf8.size() + 1), limits[i]);
        EXPECT_EQ(out.back(), '\x5A') << "wrote past the buffer";
        EXPECT_EQ(out[n], '\0');
        converted[i] = std::string(out.data(), n);
    }
    EXPECT_EQ(converted[1], converted[0]) << "with no limit but the NUL";
    return converted[0];
}

TEST(AnsiConversion, MatchesTheSystemCodePage)
{
    const UINT code_page = GetACP();
    EXPECT_EQ(ansi(""), "");
    for (const std::string text : {"x", "%", "now playing: %title% - %artist%", "caf\xC3\xA9 \xE2\x82\xAC", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88",
                                   "\xF0\x9F\x98\x80 emoji"}) {
        EXPECT_EQ(ansi(text), os_ansi(text)) << "code page " << code_page;
    }
    if (code_page == 1252)
        EXPECT_EQ(ansi("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
    if (code_page == 932)
        EXPECT_EQ(ansi("\xE6\x97\xA5\xE6\x9C\xAC"), "\x93\xFA\x96\x7B");
}

TEST(AnsiConversion, RunsInTheExpectedCodePage)
{
    EXPECT_EQ(GetACP(), expected_code_page());
}

TEST(AnsiConversion, StopsAtMalformedInput)
{
    EXPECT_EQ(ansi("ab\xFF" "cd"), "ab");
}

// Texts above 32,767 bytes convert in pieces; the pieces must join into the
// text a single conversion gives, whatever falls on their borders.
TEST(AnsiConversion, OneAndManyPiecesGiveTheSameResult)
{
    for (const std::string piece : {"a\xC3\xA9", "\xF0\x9F\x8E\xB5", "ab\xE6\x97\xA5"}) {
        for (const size_t length : {size_t(32767), size_t(32768), size_t(65537), size_t(100000)}) {
            std::string text;
            while (text.size() + piece.size() <= length)
                text += piece;
            text.resize(length, 'z');
            EXPECT_EQ(ansi(text), os_ansi(text)) << length;
        }
    }
}

TEST(AnsiConversion, ALongTextStopsAtItsFirstMalformedSequence)
{
    std::string text(50000, 'x');
    const std::string prefix = text;
    text += "\xFF";
    text += std::string(50000, 'y');
    EXPECT_EQ(ansi(text), os_ansi(prefix));
}

TEST(AnsiConversion, ALongTextThatDoesNotFitGivesTheEmptyText)
{
    const std::string text(100000, 'q');
    std::vector<char> out(40001, '\x5A');
    EXPECT_EQ(convert_utf8_to_ansi(text.c_str(), out.data(), 40000, uint32_t(text.size())), 0u);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[40000], '\x5A');
}

TEST(AnsiConversion, ASmallDestinationIsNeverOverrun)
{
    std::vector<char> out(5, '\x5A');
    const uint32_t n = convert_utf8_to_ansi("abcdefghij", out.data(), 4, 10);
    EXPECT_EQ(out[4], '\x5A');
    EXPECT_LE(n, 3u);
    EXPECT_EQ(out[n], '\0');

    const char16_t wide[] = u"\x65E5\x672C\x8A9E";
    char three[4] = {'\x5A', '\x5A', '\x5A', '\x5A'};
    const uint32_t m = convert_wide_to_ansi(wide, three, 3, 3);
    EXPECT_EQ(three[3], '\x5A');
    EXPECT_EQ(three[m], '\0');

    EXPECT_EQ(convert_utf8_to_ansi("abc", three + 3, 0, 3), 0u);
    EXPECT_EQ(convert_wide_to_ansi(wide, three + 3, 0, 3), 0u);
    EXPECT_EQ(three[3], '\x5A') << "no room, not even for the NUL";
    char one[2] = {'\x5A', '\x5A'};
    EXPECT_EQ(convert_wide_to_ansi(wide, one, 1, 3), 0u);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(one[1], '\x5A') << "room for the NUL alone";
    EXPECT_EQ(convert_wide_to_ansi(u"", three, 3, 3), 0u);
    EXPECT_EQ(three[0], '\0');
    EXPECT_EQ(convert_wide_to_ansi(u"ab", three, UINT32_MAX, unbounded), 2u) << "a room larger than the OS's int";
    EXPECT_STREQ(three, "ab");
}

} // namespace
