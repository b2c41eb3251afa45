#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "text/plain_text.h"
#include "text/text_buffer.h"
#include "text/utf8.h"

namespace {

constexpr uint32_t untouched = 0xDEADBEEF;

// Decodes from a heap copy of exactly the given bytes, so that the sanitizer
// catches a read past them.
uint32_t decode(const std::string& bytes, uint32_t* code_point, uint32_t max_bytes)
{
    std::vector<char> exact(bytes.begin(), bytes.end());
    return decode_utf8_char(exact.data(), code_point, max_bytes);
}

struct decoded {
    uint32_t length;
    uint32_t code_point;
};

decoded decode_all(const std::string& bytes)
{
    uint32_t code_point = untouched;
    const uint32_t length = decode(bytes, &code_point, uint32_t(bytes.size()));
    return {length, code_point};
}

// Complete sequences decode, long forms, surrogates and values past
// Unicode included, also when only their length is asked for; malformed
// ones give 0 and leave the output alone.
TEST(Utf8Decoder, DecodesCompleteSequencesAndRefusesMalformedOnes)
{
    uint32_t cp = untouched;
    EXPECT_EQ(decode("A", &cp, 0), 0u);
    EXPECT_EQ(cp, 0u);
    cp = untouched;
    EXPECT_EQ(decode(std::string(1, '\0'), &cp, 1), 0u);
    EXPECT_EQ(cp, 0u);
    EXPECT_EQ(decode("A", nullptr, 0), 0u);

    struct {
        std::string bytes;
        uint32_t length;
        uint32_t code_point;
    } const cases[] = {
        {"A", 1, 0x41},
        {"\xC3\xA9", 2, 0xE9},
        {"\xE2\x82\xAC", 3, 0x20AC},
        {"\xF0\x9F\x98\x80", 4, 0x1F600},
        {"\xFC\x84\x80\x80\x80\x80", 6, 0x4000000},
        {"\xE0\x80\x90", 3, 0x10},
        {"\xE0\x81\x80", 3, 0x40},
        {"\xF0\x80\x88\x80", 4, 0x200},
        {"\xED\xA0\x80", 3, 0xD800},
        {"\xF4\x90\x80\x80", 4, 0x110000},
        {"\xFD\xBF\xBF\xBF\xBF\xBF", 6, 0x7FFFFFFF},
    };
    for (const auto& c : cases) {
        const decoded d = decode_all(c.bytes);
        EXPECT_EQ(d.length, c.length) << c.bytes;
        EXPECT_EQ(d.code_point, c.code_point) << c.bytes;
        EXPECT_EQ(decode(c.bytes, nullptr, c.length), c.length) << "without a code point asked for";
    }
    for (const std::string malformed : {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x80\x8F", "\xF0\x80\x87\xBF", "\x80", "\xBF", "\xFE", "\xFF",
                                        "\xE2\x41\xAC", "\xF8\x80\x83\xBF\xBF", "\xFC\x80\x81\xBF\xBF\xBF"}) {
        const decoded d = decode_all(malformed);
        EXPECT_EQ(d.length, 0u) << malformed;
        EXPECT_EQ(d.code_point, untouched) << malformed;
    }
    cp = untouched;
    EXPECT_EQ(decode(std::string("\xE2\x82\0", 3), &cp, 3), 0u);
    EXPECT_EQ(decode("\xC3\xA9", &cp, 1), 0u) << "the sequence is cut by max_bytes";
    EXPECT_EQ(cp, untouched);
}

TEST(Utf8Decoder, NeverReadsPastANul)
{
    // Only the lead byte and the NUL exist; the sequence announces six.
    EXPECT_EQ(decode(std::string("\xFC\0", 2), nullptr, 6), 0u);
    EXPECT_EQ(decode(std::string("\xF0\x9F\0", 3), nullptr, 100), 0u);
}

// The decoding rules stated in terms of values rather than bytes: a lead
// byte announces the length (a NUL is the code point 0 of no length), a
// sequence is well formed when its continuation bytes are 10xxxxxx; two-byte
// forms of values below 0x80 are refused, and so are the longer forms whose
// lead byte carries no value bits, whose first continuation byte is 80 and
// whose value lies below 0x10, 0x200, 0x4000 or 0x80000.
uint32_t reference_decode(const uint8_t* b, uint32_t size, uint32_t* value)
{
    if (b[0] < 0x80) {
        *value = b[0];
        return b[0] != 0 ? 1 : 0;
    }
    const uint32_t n = b[0] < 0xC0 ? 0 : b[0] < 0xE0 ? 2 : b[0] < 0xF0 ? 3 : b[0] < 0xF8 ? 4 : b[0] < 0xFC ? 5 : b[0] < 0xFE ? 6 : 0;
    if (n == 0 || n > size)
        return 0;
    uint32_t v = b[0] & (0xFFu >> (n + 1));
    const bool lead_is_empty = v == 0;
    for (uint32_t i = 1; i < n; ++i) {
        if ((b[i] & 0xC0) != 0x80)
            return 0;
        v = v << 6 | (b[i] & 0x3F);
    }
    const uint32_t smallest_after_empty_lead[7] = {0, 0, 0x80, 0x10, 0x200, 0x4000, 0x80000};
    if (n == 2 && v < 0x80)
        return 0;
    if (n > 2 && lead_is_empty && b[1] == 0x80 && v < smallest_after_empty_lead[n])
        return 0;
    *value = v;
    return n;
}

// The decoder and the reference agree on the length and the code point.
bool decodes_as_the_reference(const uint8_t* bytes, uint32_t size)
{
    uint32_t expected = untouched;
    uint32_t got = untouched;
    return decode_utf8_char(reinterpret_cast<const char*>(bytes), &got, size) == reference_decode(bytes, size, &expected) && got == expected;
}

TEST(Utf8Decoder, EveryTwoByteSequenceFollowsTheRules)
{
    for (uint32_t lead = 0; lead < 256; ++lead) {
        for (uint32_t next = 0; next < 256; ++next) {
            const uint8_t bytes[2] = {uint8_t(lead), uint8_t(next)};
            ASSERT_TRUE(decodes_as_the_reference(bytes, 2)) << lead << " " << next;
        }
    }
}

TEST(Utf8Decoder, EveryThreeByteSequenceFollowsTheRules)
{
    for (uint32_t lead = 0xE0; lead <= 0xEF; ++lead) {
        for (uint32_t second = 1; second < 256; ++second) {
            for (uint32_t third = 1; third < 256; ++third) {
                const uint8_t bytes[3] = {uint8_t(lead), uint8_t(second), uint8_t(third)};
                ASSERT_TRUE(decodes_as_the_reference(bytes, 3)) << lead << " " << second << " " << third;
            }
        }
    }
}

TEST(Utf8Decoder, ASampleOfLongerSequencesFollowsTheRules)
{
    uint32_t state = 12345;
    const auto next_byte = [&state] {
        state = state * 1103515245u + 12345u;
        return uint8_t(state >> 16);
    };
    const uint8_t leads[] = {0xF0, 0xF3, 0xF7, 0xF8, 0xFB, 0xFC, 0xFD};
    for (int sample = 0; sample < 300000; ++sample) {
        uint8_t bytes[6];
        bytes[0] = leads[sample % 7];
        const uint32_t n = bytes[0] >= 0xFC ? 6 : bytes[0] >= 0xF8 ? 5 : 4;
        for (uint32_t i = 1; i < n; ++i) {
            // Mostly continuation bytes, so that most samples get far.
            const uint8_t r = next_byte();
            bytes[i] = (r & 0x0F) == 0 ? uint8_t(r | 1) : uint8_t(0x80 | (r & 0x3F));
            if (i == 1 && (r & 0x30) == 0)
                bytes[i] = 0x80;
        }
        ASSERT_TRUE(decodes_as_the_reference(bytes, n)) << sample;
    }
}

// The shortest form of every length; nothing above 31 bits.
TEST(Utf8Encoder, EncodesEveryLength)
{
    const struct {
        uint32_t code_point;
        std::string bytes;
    } cases[] = {{0x41, "A"}, {0xE9, "\xC3\xA9"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F600, "\xF0\x9F\x98\x80"}, {0x7FFFFFFF, "\xFD\xBF\xBF\xBF\xBF\xBF"},
                 {0, std::string(1, '\0')}};
    char out[8];
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(out, encode_utf8_char(c.code_point, out)), c.bytes) << c.code_point;
        EXPECT_EQ(encode_utf8_char(c.code_point, nullptr), c.bytes.size()) << "measured";
    }
    memset(out, 'z', sizeof out);
    EXPECT_EQ(encode_utf8_char(0x80000000u, out), 0u);
    EXPECT_EQ(out[0], 'z');
}

TEST(Utf16Encoder, EncodesSurrogatePairsAndRefusesTheRest)
{
    char16_t out[2] = {};
    EXPECT_EQ(encode_utf16_char(0, out), 0u);
    EXPECT_EQ(encode_utf16_char(0x41, out), 1u);
    EXPECT_EQ(out[0], 0x41);
    EXPECT_EQ(encode_utf16_char(0x1F600, out), 2u);
    EXPECT_EQ(out[0], 0xD83D);
    EXPECT_EQ(out[1], 0xDE00);
    EXPECT_EQ(encode_utf16_char(0x10FFFF, out), 2u);
    EXPECT_EQ(out[0], 0xDBFF);
    EXPECT_EQ(out[1], 0xDFFF);
    EXPECT_EQ(encode_utf16_char(0x110000, out), 0u);
}

// Every code point survives UTF-8 and back, and UTF-16 where it fits, the
// latter checked against the surrogate arithmetic independently.
TEST(Utf8RoundTrip, EveryCodePointDecodesToItself)
{
    char bytes[8];
    char16_t units[3];
    for (uint32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        const uint32_t n = encode_utf8_char(cp, bytes);
        bytes[n] = '\0';
        uint32_t back = 0;
        ASSERT_EQ(decode_utf8_char(bytes, &back, n), n) << cp;
        ASSERT_EQ(back, cp);

        const uint32_t wide = convert_utf8_to_wide(bytes, units, 3, n);
        if (cp < 0x10000) {
            ASSERT_EQ(wide, 1u);
            ASSERT_EQ(units[0], cp);
        } else {
            ASSERT_EQ(wide, 2u);
            ASSERT_EQ(0x10000 + ((uint32_t(units[0]) - 0xD800) << 10) + (uint32_t(units[1]) - 0xDC00), cp);
        }
        ASSERT_EQ(units[wide], 0);
    }
}

TEST(Utf8RoundTrip, ShortestFormsAboveTheUnicodeRangeDecode)
{
    char bytes[8];
    for (uint32_t cp = 0x110000; cp < 0x7FFFFFFF; cp = cp * 3 + 17) {
        const uint32_t n = encode_utf8_char(cp, bytes);
        uint32_t back = 0;
        ASSERT_EQ(decode_utf8_char(bytes, &back, n), n) << cp;
        ASSERT_EQ(back, cp);
    }
}

// The conversion stops at the NUL, at a malformed or cut sequence, at a code
// point UTF-16 cannot carry or at the limit, and always terminates. Each text
// is an exact heap copy, NUL included, and the destination is roomy, so the
// sanitizer sees any read past the NUL, also with no limit but the NUL.
TEST(Utf8ToWide, StopsAtTheFirstProblemAndReadsNothingPastTheNul)
{
    struct {
        std::string text;
        uint32_t max_bytes;
        std::u16string wide;
    } const cases[] = {
        {"", 0, u""},
        {"a\xC3\xA9\xFFz", 5, u"a\xE9"},
        {"x\xF8\x88\x80\x80\x80y", 7, u"x"},
        {"ab\xE2\x82\xAC", 4, u"ab"},
        {"abc", 2, u"ab"},
        {"", unbounded, u""},
        {"a", unbounded, u"a"},
        {"abcdefgh", unbounded, u"abcdefgh"},
        {"\xC3\xA9", unbounded, u"\xE9"},
        {"a\xE2\x82\xAC", unbounded, u"a\x20AC"},
        {"\xF0\x9F\x98\x80", unbounded, u"\xD83D\xDE00"},
        {"ab\xF0\x9F\x8E\xB5\xC3\xA9", unbounded, u"ab\xD83C\xDFB5\xE9"},
        {"ab\xE2\x82", unbounded, u"ab"},
        {"\xF0\x9F\x98", unbounded, u""},
    };
    for (const auto& c : cases) {
        const std::vector<char> exact(c.text.c_str(), c.text.c_str() + c.text.size() + 1);
        std::vector<char16_t> out(16, 0x7777);
        const uint32_t units = convert_utf8_to_wide(exact.data(), out.data(), uint32_t(out.size()), c.max_bytes);
        EXPECT_EQ(std::u16string(out.data(), units), c.wide) << c.text << " " << c.max_bytes;
        EXPECT_EQ(out[units], 0);
    }
}

// The destination's real size bounds the output, whatever the input.
TEST(Utf8ToWide, NeverWritesPastTheDestination)
{
    std::vector<char16_t> small(3, 0x7777);
    EXPECT_EQ(convert_utf8_to_wide("abcdef", small.data(), 3, 6), 2u);
    EXPECT_EQ(small[2], 0);
    std::vector<char16_t> pair_room(3, 0x7777);
    EXPECT_EQ(convert_utf8_to_wide("a\xF0\x9F\x98\x80", pair_room.data(), 3, 5), 1u) << "a pair that does not fit is not split";
    EXPECT_EQ(pair_room[1], 0);
    char16_t none = 0x7777;
    EXPECT_EQ(convert_utf8_to_wide("a", &none, 0, 1), 0u);
    EXPECT_EQ(none, 0x7777);
}

TEST(AppendCodePoint, AppendsTheUtf8Form)
{
    text_buffer buffer;
    append_code_point(&buffer, 'a');
    append_code_point(&buffer, 0x20AC);
    append_code_point(&buffer, 10);
    append_code_point(&buffer, 0);
    append_code_point(&buffer, 0x80000000u);
    EXPECT_STREQ(buffer.data(), "a\xE2\x82\xAC\n");
}

} // namespace
