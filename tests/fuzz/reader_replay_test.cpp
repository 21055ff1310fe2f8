// Replays the seed corpus of every reader's fuzz target, the shipped files and a hostile document,
// each as it is and in damaged copies. The libFuzzer programs search further where clang is at
// hand (scripts/fuzz.sh); this keeps what they start from, and their guarantees, in every build.
#include "tests/fuzz/reader_targets.h"
#include "tests/support/byte_mutator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void AddFiles(const fs::path& folder, std::vector<Bytes>& seeds)
{
    if (!fs::is_directory(folder))
        return;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    {
        std::ifstream in(entry.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
}

std::vector<Bytes> Seeds(const std::string& name)
{
    const fs::path source = TANZO_SOURCE_DIR;
    std::vector<Bytes> seeds;
    AddFiles(source / "tests" / "fuzz" / "corpus" / name, seeds);
    if (name == "discovery" || name == "version_file")
        return seeds;
    AddFiles(source / "tests" / "fuzz" / "corpus" / "xml", seeds);
    if (name == "languages")
        AddFiles(source / "resources" / "languages", seeds);
    if (name == "hints")
        AddFiles(source / "resources" / "explanations", seeds);
    std::string deep;
    for (int i = 0; i < 80000; ++i)
        deep += "<a>";
    seeds.emplace_back(deep.begin(), deep.end());
    // More white space first than the decoder holds while it waits to tell the encoding.
    const std::string spaced = std::string(1 << 20, ' ') + "<show application=\"Tanzo\"/>";
    seeds.emplace_back(spaced.begin(), spaced.end());
    return seeds;
}
}  // namespace

TEST(ReaderFuzzTargets, SeedsAndDamagedCopiesOfThemKeepEveryReadersGuarantees)
{
    CMutator mutator(0x5EED17, 1 << 20);
    for (size_t t = 0; t < kReaderTargetCount; ++t)
    {
        const SReaderTarget& target = kReaderTargets[t];
        const std::vector<Bytes> seeds = Seeds(target.name);
        ASSERT_FALSE(seeds.empty()) << target.name;
        for (const Bytes& seed : seeds)
            target.read(seed.data(), seed.size());
        for (int i = 0; i < 300; ++i)
        {
            const Bytes input = mutator.Mutate(seeds[i % seeds.size()]);
            target.read(input.data(), input.size());
        }
    }
}
