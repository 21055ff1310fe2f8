// The start's sweep of what saves cut short left, over folders filled far beyond a user's.
#include "foundation/file_replace.h"
#include "tests/support/test_folder.h"

#include <boost/filesystem.hpp>

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

namespace fs = boost::filesystem;

namespace
{
// A leftover's name, of a writer whose process id is above any the system gives: long gone.
std::string Leftover(const std::string& name)
{
    return "." + name + ".tanzo-partial-2147483000-Q1w2E3";
}

// Links in the folder named "c1" .. "c<count>", each leading to the one before and the first to
// the target: the last one's name.
std::string Chain(const fs::path& folder, size_t count, const std::string& target)
{
    std::string before = target;
    for (size_t n = 1; n <= count; ++n)
    {
        const std::string name = "c" + std::to_string(n);
        EXPECT_EQ(::symlink(before.c_str(), (folder / name).c_str()), 0);
        before = name;
    }
    return before;
}
}  // namespace

TEST(InterruptedReplaces, ASweepCostsAStartWhatItsBoundsAllowHoweverItsFoldersAreFilled)
{
    // A save through a link writes beside the file it leads to: here sixteen folders, each holding
    // a show linked once from the data folder, and a leftover beside it. Beside those links, links
    // that cost a chain of 39 more each, to a folder that is not there.
    constexpr size_t kLinkedFolders = 16;
    constexpr size_t kChain = 39;
    const struct
    {
        const char* what;
        size_t leftovers;  // in the data folder itself
        size_t linkedFolders;
        size_t costly;     // links through a chain
        bool sharedChain;  // all through one chain, else each through one of its own
        size_t removed;  // 0 beside linked folders: fewer than those
        size_t left;
    } rows[] = {
        // The first names the folder lists, its two dot entries among them, and no more.
        {"more names than a sweep reads", kSweepMostNames + 1000, 0, 0, false, 64, kSweepMostNames - 2 - 64},
        // The chain is read once, and the links through it cost a step each.
        {"links through one long chain", 0, kLinkedFolders, 1000, true, kLinkedFolders, 0},
        // Some 100 of the 516 links are followed, whatever order the folder lists them in, and
        // each of the sixteen is among them by chance alone: not all are. (Each names the chain
        // in a way of its own, which no sweep can tell from a chain of its own.)
        {"links each through a long chain of its own", 0, kLinkedFolders, 500, false, 0, 0},
    };
    const fs::path root = FreshTestFolder(), chains = root / "chains";
    for (const char* file : {"file0", "file1"})
        std::ofstream((root / file).string()) << "<show application=\"Tan";
    fs::create_directories(chains);
    const std::string shared = Chain(chains, kChain, "../missing/gone.show");
    for (const auto& row : rows)
    {
        const fs::path data = root / "data";
        fs::remove_all(data);
        fs::create_directories(data);
        // A file takes at most 65,000 names.
        for (size_t i = 0; i < row.leftovers; ++i)
            ASSERT_EQ(::link((root / ("file" + std::to_string(i % 2))).c_str(),
                             (data / Leftover("s" + std::to_string(i) + ".show")).c_str()),
                      0);
        // Made in turn with the costly ones, so that neither comes first in the order of making
        // nor in its reverse.
        for (size_t i = 0, linked = 0; i < row.costly || linked < row.linkedFolders; ++i)
        {
            if (i < row.costly)
            {
                std::string way = "../chains/";
                for (size_t n = 0; !row.sharedChain && n < i; ++n)
                    way += "./";
                ASSERT_EQ(::symlink((way + shared).c_str(), (data / ("l" + std::to_string(i) + ".show")).c_str()), 0);
            }
            if (linked < row.linkedFolders && (row.costly == 0 || i % (row.costly / row.linkedFolders) == 0))
            {
                const fs::path folder = root / ("f" + std::to_string(linked));
                fs::remove_all(folder);
                fs::create_directories(folder);
                std::ofstream((folder / "x.show").string()) << "<show application=\"Tanzo\"/>";
                std::ofstream((folder / Leftover("x.show")).string()) << "<show application=\"Tan";
                ASSERT_EQ(::symlink(("../f" + std::to_string(linked) + "/x.show").c_str(),
                                    (data / ("d" + std::to_string(linked) + ".show")).c_str()),
                          0);
                ++linked;
            }
        }

        size_t left = 0;
        const size_t removed = RemoveInterruptedReplaces(data.string(), &left).size();
        if (row.linkedFolders > 0 && row.removed == 0)
            EXPECT_LT(removed, row.linkedFolders) << row.what;
        else
            EXPECT_EQ(removed, row.removed) << row.what;
        EXPECT_EQ(left, row.left) << row.what;
    }
    fs::remove_all(root);
}
