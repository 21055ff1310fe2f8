#include "foundation/value.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstring>
#include <random>

// Random and mangled texts into every type's parser, and random payload bytes read as every type:
// only the number types' documented bad_lexical_cast may come out, and the sanitizer builds see
// every read and conversion on the way.
namespace {

const std::string kAlphabet = "0123456789:.-+% ,xX#abcdefABCDEFonOffMoTuWeThFrSaSuEverydayNevr"
                              "hmsrgbcwau\t|eE";

std::string RandomText(std::mt19937& random)
{
    std::uniform_int_distribution<int> length(0, 48);
    std::uniform_int_distribution<int> pick(0, int(kAlphabet.size()) - 1);
    std::uniform_int_distribution<int> anyByte(1, 255);
    std::uniform_int_distribution<int> coin(0, 9);
    std::string text;
    const int n = length(random);
    for (int i = 0; i < n; ++i)
        text += coin(random) == 0 ? char(anyByte(random)) : kAlphabet[size_t(pick(random))];
    return text;
}

const char* const kSeeds[] = {
    "0.5", "50%", "4294967295", "0x102030 rgbaw0102030405 rgbcwau01020304050607",
    "On", "0.5 -0.25", "01-02-03-45", "1h30m", "Channel 3 - Message 9 - Index 60",
    "0 0 0 0 0 0 0 0 0.5", "2015-06-30", "2015-06-30 14:05:09", "MoWeFr 18:00",
    "192.168.1.10:16945", "1.7.0", "0123456789ABCDEF0123456789ABCDEF01234567", "1:10",
    "00:1A:2B:3C:4D:5E", "3.1", "23:59:59:29", "Everyday XX:00:00",
};

std::string Mangle(std::mt19937& random, std::string text)
{
    std::uniform_int_distribution<int> op(0, 3);
    std::uniform_int_distribution<int> pick(0, int(kAlphabet.size()) - 1);
    const int edits = 1 + op(random);
    for (int e = 0; e < edits; ++e) {
        const size_t at = text.empty() ? 0 : std::uniform_int_distribution<size_t>(0, text.size() - 1)(random);
        switch (op(random)) {
        case 0:
            if (!text.empty())
                text.erase(at, 1);
            break;
        case 1:
            text.insert(at, 1, kAlphabet[size_t(pick(random))]);
            break;
        case 2:
            if (!text.empty())
                text[at] = kAlphabet[size_t(pick(random))];
            break;
        default:
            text += text.substr(at);
            break;
        }
    }
    return text;
}

void Exercise(const CValue& value, const CValue& other, float factor)
{
    (void)value.ToString();
    (void)value.ToDisplayString();
    (void)(value == other);
    (void)(value < other);
    (void)(value > other);
    (void)value.Matches(other);
    (void)value.GetTime();
    (void)value.GetTimeOfDay();
    (void)value.CountColours();
    CValue changed(value);
    changed += other;
    changed -= other;
    changed *= factor;
    changed /= factor;
    TiXmlElement parent("p");
    changed.WriteXml(&parent);
}

}  // namespace

TEST(ValueFuzz, RandomTextIntoEveryParser)
{
    std::mt19937 random(20150630);
    for (uint32_t type = 0; type < CValue::kTypeCount; ++type) {
        CValue value(static_cast<CValue::EType>(type));
        for (int round = 0; round < 1500; ++round) {
            const std::string text = round % 3 == 0
                                         ? RandomText(random)
                                         : Mangle(random, kSeeds[size_t(round) % (sizeof(kSeeds) / sizeof(kSeeds[0]))]);
            try {
                value.Parse(text);
            } catch (const boost::bad_lexical_cast&) {
            }
            ASSERT_EQ(value.GetType(), type);
            Exercise(value, value, 0.5f);
        }
    }
}

TEST(ValueFuzz, RandomPayloadReadAsEveryType)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    const float factors[] = {0.0f, -1.0f, 0.5f, 3.0f, 1e30f, std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity()};
    for (int round = 0; round < 300; ++round) {
        SUdpMessage bytes[2];
        unsigned char raw[sizeof(bytes)];
        for (unsigned char& b : raw)
            b = uint8_t(byte(random));
        std::memcpy(static_cast<void*>(bytes), raw, sizeof(raw));
        CValue a(bytes[0]);
        CValue b(bytes[1]);
        for (uint32_t type = 0; type <= CValue::kTypeCount; ++type) {
            a.SetType(type);
            b.SetType(uint32_t(round) % 2 ? type : uint32_t(round) % CValue::kTypeCount);
            Exercise(a, b, factors[size_t(round) % (sizeof(factors) / sizeof(factors[0]))]);
        }
    }
}
