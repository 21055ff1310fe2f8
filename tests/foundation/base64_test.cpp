#include "foundation/base64.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
std::string Encode(const std::string& bytes)
{
    return Base64Encode(bytes.data(), uint32_t(bytes.size()));
}

// Decodes from a heap copy that ends exactly at the text, into a buffer of exactly the capacity,
// so that the address sanitizer sees any read or write past either end.
int32_t DecodeExact(const std::string& text, std::string& bytes, uint32_t capacity)
{
    std::unique_ptr<char[]> in(new char[text.size()]);
    std::memcpy(in.get(), text.data(), text.size());
    std::unique_ptr<uint8_t[]> out(new uint8_t[capacity]);
    const int32_t count = Base64Decode(in.get(), text.size(), out.get(), capacity);
    bytes.assign(reinterpret_cast<const char*>(out.get()), count > 0 ? size_t(count) : 0);
    return count;
}

std::string DecodeToArray(const std::string& text)
{
    std::unique_ptr<char[]> in(new char[text.size()]);
    std::memcpy(in.get(), text.data(), text.size());
    std::vector<uint8_t> out = {'>'};
    const uint32_t count = Base64Decode(in.get(), text.size(), out);
    EXPECT_EQ(count + 1, out.size());
    return std::string(out.begin() + 1, out.end());
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool RunShell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}
}  // namespace

TEST(Base64, StandardVectorsBothWays)
{
    const char* const vectors[][2] = {{"", ""},           {"f", "Zg=="},         {"fo", "Zm8="},
                                      {"foo", "Zm9v"},    {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                                      {"foobar", "Zm9vYmFy"}};
    for (const auto& v : vectors)
    {
        EXPECT_EQ(Encode(v[0]), v[1]);
        std::string bytes;
        EXPECT_EQ(DecodeExact(v[1], bytes, 6), int32_t(std::strlen(v[0])));
        EXPECT_EQ(bytes, v[0]);
        EXPECT_EQ(DecodeToArray(v[1]), v[0]);
    }
    EXPECT_EQ(Base64Encode(std::vector<uint8_t>{0xFB, 0xFF, 0xBF}), "+/+/");
}

TEST(Base64, CharacterValuesAndGroups)
{
    EXPECT_EQ(Base64CharValue('A'), 0);
    EXPECT_EQ(Base64CharValue('z'), 51);
    EXPECT_EQ(Base64CharValue('9'), 61);
    EXPECT_EQ(Base64CharValue('/'), 63);
    for (char c : {'=', '-', '_', '\n', '\0', char(0xC3)})
        EXPECT_EQ(Base64CharValue(c), -1);

    uint8_t out[3] = {0xEE, 0xEE, 0xEE};
    EXPECT_EQ(Base64DecodeGroup("A=BC", out), 0u);  // "=" that is not trailing
    EXPECT_EQ(Base64DecodeGroup("AB=C", out), 0u);
    EXPECT_EQ(Base64DecodeGroup("AB.=", out), 0u);
    EXPECT_EQ(out[0], 0xEE);
    EXPECT_EQ(Base64DecodeGroup("Zg==", out), 1u);
    EXPECT_EQ(out[0], 'f');
    EXPECT_EQ(out[1], 0xEE);
    EXPECT_EQ(Base64DecodeGroup("====", out), 0u);
}

TEST(Base64, CapacityDecoderSkipsForeignCharactersAndChecksRoom)
{
    std::string bytes;
    EXPECT_EQ(DecodeExact("Zm9v", bytes, 3), 3);
    EXPECT_EQ(DecodeExact("Zm9v\r\nYmFy\n", bytes, 6), 6);
    EXPECT_EQ(bytes, "foobar");
    EXPECT_EQ(DecodeExact(" Zm 9v Yg = = ", bytes, 4), 4);
    EXPECT_EQ(bytes, "foob");
    EXPECT_EQ(DecodeExact("Zm9v", bytes, 2), -1);
    EXPECT_EQ(DecodeExact("Zm9vYg==", bytes, 3), -1);
    // Everything up to the first short group, nothing after it.
    EXPECT_EQ(DecodeExact("Zm8=Zm9v", bytes, 6), 2);
    EXPECT_EQ(DecodeExact("Zm9vA=BCZm9v", bytes, 9), 3);
}

TEST(Base64, ArrayDecoderStopsAtTheFirstForeignCharacterInside)
{
    EXPECT_EQ(DecodeToArray("\n Zm9vYmFy"), "foobar");
    EXPECT_EQ(DecodeToArray("Zm9v\nYmFy"), "foo");
    EXPECT_EQ(DecodeToArray("Zm9vYmF"), "fooba");
    EXPECT_EQ(DecodeToArray("Zm9vY"), "foo");
}

TEST(Base64, BrokenTextNeverReadsPastItsEnd)
{
    for (const char* text : {"", "Z", "Zm", "Zm9", "=", "==", "A=", "A=B", "!!!", "Zm9vY", "\n\n", "Zm9v=",
                             "Zm9v==Zm", "===="})
    {
        std::string bytes;
        EXPECT_LE(DecodeExact(text, bytes, 8), 3) << text;
        DecodeToArray(text);
    }
    std::mt19937 random(99);
    const char pool[] = "AZaz09+/==\n !";
    for (int i = 0; i < 5000; ++i)
    {
        std::string text(random() % 24, ' ');
        for (char& c : text)
            c = pool[random() % (sizeof pool - 1)];
        std::string bytes;
        const int32_t count = DecodeExact(text, bytes, 18);
        EXPECT_GE(count, 0) << text;
        DecodeToArray(text);
    }
}

TEST(Base64, CueBlockOfEightHundredBytesRoundTrips)
{
    std::mt19937 random(800);
    std::vector<uint8_t> block(800);
    for (uint8_t& b : block)
        b = uint8_t(random());
    const std::string text = Base64Encode(block);
    EXPECT_EQ(text.size(), 1068u);
    EXPECT_EQ(text.back(), '=');
    EXPECT_NE(text[text.size() - 2], '=');
    std::string bytes;
    ASSERT_EQ(DecodeExact(text, bytes, 800), 800);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), block);
    EXPECT_EQ(DecodeExact(text, bytes, 799), -1);
}

TEST(Base64, EncodeFile)
{
    EXPECT_EQ(Base64EncodeFile("/nonexistent/file"), "");
    const std::filesystem::path dir(FreshTestFolder().string());
    std::string content(3 * 4096 + 2, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = char(i * 7);
    std::ofstream(dir / "data", std::ios::binary) << content;
    EXPECT_EQ(Base64EncodeFile((dir / "data").string()), Encode(content));
    std::ofstream(dir / "empty", std::ios::binary).close();
    EXPECT_EQ(Base64EncodeFile((dir / "empty").string()), "");
}

// Our encoder and decoders against the coreutils base64 command on random data of every short
// length and some longer ones.
TEST(Base64, AgreesWithCoreutils)
{
    if (access("/usr/bin/base64", X_OK) != 0)
        GTEST_SKIP() << "no /usr/bin/base64";
    const std::filesystem::path dir(FreshTestFolder().string());
    std::mt19937 random(64);
    std::vector<std::string> inputs;
    for (size_t length = 0; length < 100; ++length)
        inputs.emplace_back(length, '\0');
    for (int i = 0; i < 200; ++i)
        inputs.emplace_back(random() % 3000, '\0');
    for (std::string& input : inputs)
        for (char& c : input)
            c = char(random());

    for (size_t i = 0; i < inputs.size(); ++i)
    {
        const std::string name = std::to_string(i);
        std::ofstream(dir / (name + ".bin"), std::ios::binary) << inputs[i];
        std::ofstream(dir / (name + ".ours"), std::ios::binary) << Encode(inputs[i]);
    }
    ASSERT_TRUE(RunShell("cd '" + dir.string() +
                         "' && for f in *.bin; do n=${f%.bin}; /usr/bin/base64 -w0 \"$f\" > \"$n.theirs\" &&"
                         " /usr/bin/base64 -d \"$n.ours\" > \"$n.back\" || exit 1; done"));

    for (size_t i = 0; i < inputs.size(); ++i)
    {
        const std::string name = std::to_string(i);
        const std::string theirs = ReadFile(dir / (name + ".theirs"));
        EXPECT_EQ(Encode(inputs[i]), theirs) << "length " << inputs[i].size();
        EXPECT_EQ(ReadFile(dir / (name + ".back")), inputs[i]) << "length " << inputs[i].size();
        std::string bytes;
        EXPECT_EQ(DecodeExact(theirs, bytes, uint32_t(inputs[i].size())), int32_t(inputs[i].size()));
        EXPECT_EQ(bytes, inputs[i]);
        EXPECT_EQ(DecodeToArray(theirs), inputs[i]);
    }
}
