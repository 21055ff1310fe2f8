// First-use hints: read once, shown until silenced, silenced for good through the options.
#include "graphics/explanation_manager.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{
void WriteHints(const boost::filesystem::path& resources, const std::string& content)
{
    boost::filesystem::create_directories(resources / "explanations");
    std::ofstream((resources / "explanations/explanations.xml").string()) << content;
}
}  // namespace

TEST(ExplanationManager, AHintShowsUntilSilencedAndStaysSilentAtTheNextStart)
{
    const boost::filesystem::path folder = FreshTestFolder();
    WriteHints(folder, R"(<zevral><other><explanation id="1">not a hint</explanation></other>
        <explanations><explanation id="1">first</explanation><!-- c --><explanation>no number</explanation>
          <explanation id="2"/><tip id="1">second</tip><explanation id="abc">zero</explanation></explanations>
        <explanations><explanation id=" 7 ">seven</explanation></explanations></zevral>)");
    std::string text;
    {
        COptions options(folder.string());
        CExplanationManager hints;
        hints.Init(&options);  // no application here, so no resources: no hints
        hints.Load(folder.string());
        ASSERT_EQ(hints.GetExplanationCount(), 4u);
        EXPECT_EQ(hints.GetExplanationAt(2)->GetId(), 0u);
        EXPECT_EQ(hints.GetExplanationAt(3)->GetId(), 7u);
        options.SetCore(nullptr, nullptr, &hints);
        hints.SetCurrentEnabled(false);  // nothing handed out yet: nothing happens
        EXPECT_TRUE(options.GetIgnoredExplanations().empty());

        for (int32_t id : {0, -3})
        {
            text = "kept";
            hints.GetExplanation(id, text);
            EXPECT_EQ(text, "kept") << id;
        }
        hints.GetExplanation(1, text);
        hints.GetExplanation(1, text);
        EXPECT_EQ(text, "first") << "shown again until silenced";
        hints.SetCurrentEnabled(false);
        hints.GetExplanation(1, text);
        EXPECT_EQ(text, "second") << "only the hint shown is silenced";
        hints.GetExplanation(99, text);
        EXPECT_EQ(text, "");
        EXPECT_EQ(hints.GetCurrent()->GetText(), "second") << "a miss keeps the current hint";
        EXPECT_EQ(options.GetIgnoredExplanations(), std::vector<int32_t>{1});
        ASSERT_TRUE(options.Save());
    }
    // The next start, with a damaged hint file in between: the stored number silences every hint
    // of that number.
    COptions options(folder.string());
    CExplanationManager hints;
    hints.Load(folder.string());
    WriteHints(folder, "<zevral><explanations>");
    hints.Load(folder.string());
    options.SetCore(nullptr, nullptr, &hints);
    hints.GetExplanation(1, text);
    EXPECT_EQ(text, "");
    hints.GetExplanation(7, text);
    EXPECT_EQ(text, "seven");
}
