#include "foundation/ascii.h"
#include "foundation/digest.h"
#include "foundation/sha1.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
std::string Hash(const std::string& bytes)
{
    SHA1 sha;
    sha.Input(bytes.data(), uint32_t(bytes.size()));
    uint32_t words[SHA1::kWords];
    EXPECT_TRUE(sha.Result(words));
    return CDigest(words).ToString();
}

// Feeds the bytes in pieces of random length, so that blocks fill across calls.
std::string HashInPieces(const std::string& bytes, std::mt19937& random)
{
    SHA1 sha;
    size_t at = 0;
    while (at < bytes.size())
    {
        const size_t piece = std::min<size_t>(bytes.size() - at, random() % 150);
        if (piece == 1 && random() % 2)
            sha.Input(uint8_t(bytes[at]));
        else
            sha.Input(bytes.data() + at, uint32_t(piece));
        at += piece;
    }
    uint32_t words[SHA1::kWords];
    EXPECT_TRUE(sha.Result(words));
    return CDigest(words).ToString();
}

}  // namespace

TEST(Sha1, PublishedTestVectors)
{
    EXPECT_EQ(Hash(""), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(Hash("abc"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    // 56 bytes: the padding needs a second block.
    EXPECT_EQ(Hash("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
    EXPECT_EQ(Hash(std::string(1000000, 'a')), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");

    SHA1 sha;
    for (int i = 0; i < 1000000; ++i)
        sha << 'a';
    uint32_t words[SHA1::kWords];
    ASSERT_TRUE(sha.Result(words));
    EXPECT_EQ(CDigest(words).ToString(), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST(Sha1, InputAfterResultCorruptsUntilReset)
{
    SHA1 sha;
    sha << "abc";
    uint32_t first[SHA1::kWords], again[SHA1::kWords];
    ASSERT_TRUE(sha.Result(first));
    ASSERT_TRUE(sha.Result(again));
    EXPECT_EQ(CDigest(first), CDigest(again));

    sha.Input(nullptr, 0);  // no bytes: no harm
    ASSERT_TRUE(sha.Result(again));
    sha << "d";
    uint32_t untouched[SHA1::kWords] = {1, 2, 3, 4, 5};
    EXPECT_FALSE(sha.Result(untouched));
    EXPECT_EQ(untouched[0], 1u);
    EXPECT_EQ(untouched[4], 5u);

    sha.Reset();
    sha << "abc";
    ASSERT_TRUE(sha.Result(again));
    EXPECT_EQ(CDigest(first), CDigest(again));
}

// Compares with the system's sha1sum on every length up to three blocks and beyond, and on random
// longer inputs, each also fed in random pieces.
TEST(Sha1, AgreesWithSha1sumOnRandomInputs)
{
    if (access("/usr/bin/sha1sum", X_OK) != 0)
        GTEST_SKIP() << "no /usr/bin/sha1sum";
    const std::filesystem::path dir(FreshTestFolder().string());

    std::mt19937 random(20240611);
    std::vector<std::string> inputs;
    for (size_t length = 0; length <= 260; ++length)
        inputs.emplace_back(length, '\0');
    for (int i = 0; i < 2740; ++i)
        inputs.emplace_back(random() % 5000, '\0');
    for (std::string& input : inputs)
        for (char& c : input)
            c = char(random());

    for (size_t i = 0; i < inputs.size(); ++i)
        std::ofstream(dir / std::to_string(i), std::ios::binary) << inputs[i];

    const std::string command = "cd '" + dir.string() + "' && /usr/bin/sha1sum -- *";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::map<size_t, std::string> expected;
    char line[256];
    while (std::fgets(line, sizeof line, pipe))
    {
        char hash[41];
        unsigned long index;
        if (std::sscanf(line, "%40s %lu", hash, &index) == 2)
            expected[index] = ToUpperAscii(hash);
    }
    EXPECT_EQ(pclose(pipe), 0);

    ASSERT_EQ(expected.size(), inputs.size());
    for (size_t i = 0; i < inputs.size(); ++i)
    {
        EXPECT_EQ(Hash(inputs[i]), expected[i]) << "length " << inputs[i].size();
        EXPECT_EQ(HashInPieces(inputs[i], random), expected[i]) << "length " << inputs[i].size();
    }
}
