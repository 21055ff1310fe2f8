#include "model/personality_manager.h"

#include "foundation/ascii.h"
#include "model/personality_entries.h"
#include "model/personality_label_index.h"
#include "model/personality_ref.h"
#include "shell/app.h"
#include "shell/logger.h"
#include "tests/model/patch_test_support.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

using namespace patchtest;

namespace
{
std::string Labels(const CPersonalityManager& library)
{
    std::string labels;
    for (uint32_t i = 0; i < library.GetManufacturerCount(); ++i)
        labels += (i ? "|" : "") + library.GetManufacturer(i)->GetLabel();
    return labels;
}

class TestLibrary : public ::testing::Test
{
protected:
    void SetUp() override { library.LoadFile(TestDataPath("personalities.xml"), false); }
    CPersonalityManager library;
};
}  // namespace

TEST(PersonalityManager, WithoutFilesTheLibraryIsEmpty)
{
    CTempFolder folder;
    CPersonalityManager library;
    library.Load(folder.Path(), folder.Path());
    library.LoadFile(folder.Write("broken.xml", "<personalities><manufacturer label=\"A\">"), false);
    library.LoadFile(folder.Write("other.xml", "<library><manufacturer label=\"A\"/></library>"), false);
    library.LoadFile(folder.Path(), false);
    // 1.5 MB whose every byte of comment is 12 bytes of text: past the bound of 16 MB as text.
    library.LoadFile(folder.Write("wide.xml", "<?xml version=\"1.0\" encoding=\"TSCII\"?><!--" +
                                                  std::string(1536 * 1024, '\x82') +
                                                  "--><personalities><manufacturer label=\"A\"/></personalities>"),
                     false);
    EXPECT_EQ(library.GetManufacturerCount(), 0u);
    EXPECT_EQ(library.FindByInitial('a'), nullptr);
    EXPECT_EQ(library.GetProfile(CPersonalityRef("A", "B", "", "")), "");
    EXPECT_EQ(library.GetManufacturer(0), nullptr);
}

TEST_F(TestLibrary, EveryElementMakesAnEntryInFileOrderButOnlyModeElementsAreModes)
{
    EXPECT_EQ(Labels(library), "Brightline|Dazzle|FOGWORKS") << "the comment at the end is no manufacturer";
    const CManufacturer* brightline = library.GetManufacturer(0);
    ASSERT_EQ(brightline->GetModelCount(), 3u) << "the comment among the models is no model";
    EXPECT_EQ(brightline->GetModel(2)->GetLabel(), "Wash 7");

    const CModel* spot = brightline->GetModel(0);
    EXPECT_EQ(spot->GetProfile(), "010203");
    ASSERT_EQ(spot->GetModeCount(), 2u) << "the info child is passed over";
    EXPECT_EQ(spot->GetMode(1)->GetLabel(), "Extended");
    EXPECT_EQ(spot->GetMode(2), nullptr);

    const CManufacturer* fog = library.GetManufacturer(2);
    ASSERT_EQ(fog->GetModelCount(), 2u);
    EXPECT_EQ(fog->GetModel(1)->GetLabel(), "") << "a model without a label";
    EXPECT_EQ(fog->GetModel(1)->GetProfile(), "16");
}

TEST_F(TestLibrary, NamesMatchIgnoringAsciiCaseOverTheWholeLength)
{
    EXPECT_EQ(library.FindManufacturer("fogworks"), library.GetManufacturer(2));
    EXPECT_EQ(library.FindManufacturer("fogwork"), nullptr);
    EXPECT_EQ(library.FindManufacturer("FOGWORKS "), nullptr);
    EXPECT_EQ(library.GetManufacturer(0)->FindModel("SPOT 250"), library.GetManufacturer(0)->GetModel(0));
    EXPECT_EQ(library.GetManufacturer(0)->GetModel(0)->FindMode("basic"),
              library.GetManufacturer(0)->GetModel(0)->GetMode(0));
}

TEST(PersonalityManager, ALookUpFindsTheFirstMatchInAFewComparisonsHoweverLongTheList)
{
    // 10,000 manufacturers, then one of 10,000 models, the last of them of 10,000 modes; each list
    // names one of its entries again, in other letters, after it.
    const auto list = [](const std::string& tag, const std::string& label, const std::string& last) {
        std::string xml;
        for (int i = 0; i < 10000; ++i)
            xml += "<" + tag + " label='" + label + " " + std::to_string(i) + "'>01</" + tag + ">";
        return xml + last + "<" + tag + " label='" + ToUpperAscii(label) + " 5'>02</" + tag + ">";
    };
    CTempFolder folder;
    CPersonalityManager library;
    library.LoadFile(folder.Write("a.xml", "<personalities>" +
                                               list("manufacturer", "Maker",
                                                    "<manufacturer label='Big'>" +
                                                        list("model", "Model", "<model label='Last'>" +
                                                                                   list("mode", "Mode", "") + "</model>") +
                                                        "</manufacturer><manufacturer label='\xc3\xa9t\xc3\xa9'/>") +
                                               "</personalities>"),
                     false);
    const CManufacturer* big = library.GetManufacturer(10000);
    ASSERT_EQ(big->GetLabel(), "Big");
    const CModel* last = big->GetModel(10000);
    ASSERT_EQ(last->GetLabel(), "Last");
    const struct
    {
        const char* what;
        std::function<const void*()> find;
        const void* first;
    } rows[] = {
        {"the first of two manufacturers", [&] { return library.FindManufacturer("maker 5"); }, library.GetManufacturer(5)},
        {"the last manufacturer", [&] { return library.FindManufacturer("MAKER 9999"); }, library.GetManufacturer(9999)},
        {"a manufacturer that is none", [&] { return library.FindManufacturer("Maker 10000"); }, nullptr},
        {"only ASCII letters fold", [&] { return library.FindManufacturer("\xc3\x89T\xc3\x89"); }, nullptr},
        {"the first of two models", [&] { return big->FindModel("model 5"); }, big->GetModel(5)},
        {"the first of two modes", [&] { return last->FindMode("mode 5"); }, last->GetMode(5)},
        {"a mode that is none", [&] { return last->FindMode("mode"); }, nullptr},
    };
    for (const auto& row : rows)
    {
        const uint64_t before = CountPersonalityLabelComparisons();
        EXPECT_EQ(row.find(), row.first) << row.what;
        EXPECT_LE(CountPersonalityLabelComparisons() - before, 16u) << row.what;
    }
    EXPECT_EQ(library.FindManufacturer("\xc3\xa9T\xc3\xa9"), library.GetManufacturer(10001));
    EXPECT_EQ(library.GetProfile(CPersonalityRef("BIG", "last", "Mode 5", "")), "01");
}

TEST_F(TestLibrary, ProfileOfAReferenceFallsBackToTheModelsOwn)
{
    EXPECT_EQ(library.GetProfile(CPersonalityRef("brightline", "spot 250", "basic", "")), "010203");
    EXPECT_EQ(library.GetProfile(CPersonalityRef("Brightline", "Spot 250", "Extended", "")),
              "01022203230405060708090A0B0C0D0E0F10111213141516");
    EXPECT_EQ(library.GetProfile(CPersonalityRef("Brightline", "Spot 250", "Missing", "")), "010203");
    EXPECT_EQ(library.GetProfile(CPersonalityRef("Brightline", "Par 64", "Any mode", "")), "01");
    EXPECT_EQ(library.GetProfile(CPersonalityRef("Brightline", "Unknown", "", "")), "");
    EXPECT_EQ(library.GetProfile(CPersonalityRef("Nobody", "Par 64", "", "")), "");
}

TEST_F(TestLibrary, FindByInitialGivesTheFirstWithTheLetterOrTheLastBelowIt)
{
    const CManufacturer* b = library.GetManufacturer(0);
    const CManufacturer* d = library.GetManufacturer(1);
    const CManufacturer* f = library.GetManufacturer(2);
    EXPECT_EQ(library.FindByInitial('d'), d);
    EXPECT_EQ(library.FindByInitial('c'), b);
    EXPECT_EQ(library.FindByInitial('a'), b);
    EXPECT_EQ(library.FindByInitial('f'), f);
    // The walk stops before the entry with an empty label at the end.
    EXPECT_EQ(library.FindByInitial('z'), f);
}

TEST(PersonalityManager, AnEntryWithAnEmptyLabelStopsTheInitialWalk)
{
    CTempFolder folder;
    CPersonalityManager library;
    library.LoadFile(folder.Write("a.xml", "<personalities><manufacturer label='Bee'/><manufacturer/>"
                                           "<manufacturer label='Dee'/></personalities>"),
                     false);
    ASSERT_EQ(Labels(library), "Bee||Dee");
    EXPECT_EQ(library.FindByInitial('d'), library.GetManufacturer(0));
    EXPECT_EQ(library.FindByInitial('a'), library.GetManufacturer(0));
}

TEST(PersonalityManager, UserManufacturersComeFirstInBracketsAndMatchOnlySo)
{
    CTempFolder appData;
    appData.Write("user.personality", "<?xml version=\"1.0\" ?><personalities>"
                                      "<manufacturer label=\"Dazzle\"><model label=\"Own\">0101</model></manufacturer>"
                                      "<manufacturer label='Say \"hi\"'/></personalities>");
    CTempFolder resources;
    resources.Write("personalities/personalities.xml",
                    "<personalities><manufacturer label=\"Dazzle\"><model label=\"Own\">02</model>"
                    "</manufacturer></personalities>");
    CPersonalityManager library;
    library.Load(appData.Path(), resources.Path());

    // A quote in a label would break the text the controller keeps; it becomes two apostrophes.
    EXPECT_EQ(Labels(library), "[Dazzle]|[Say ''hi'']|Dazzle");
    EXPECT_EQ(library.FindManufacturer("[dazzle]"), library.GetManufacturer(0));
    EXPECT_EQ(library.FindManufacturer("Dazzle"), library.GetManufacturer(2));
    EXPECT_EQ(library.GetProfile(CPersonalityRef("[Dazzle]", "Own", "", "")), "0101");
    EXPECT_EQ(library.GetProfile(CPersonalityRef("Dazzle", "Own", "", "")), "02");
    // "[" lies below every letter.
    EXPECT_EQ(library.FindByInitial('a'), library.GetManufacturer(1));
}

TEST(PersonalityManager, ElementsOfOtherNamesAreSaidInTheLogWithFileAndElement)
{
    char name[] = "tests_model";
    char* argv[] = {name, nullptr};
    CApp app(CVersion(1, 7, 0), 1, argv);
    CTempFolder folder;
    std::string others;
    for (int i = 0; i < 12; ++i)
        others += "<maker label='M" + std::to_string(i) + "'/>";
    CPersonalityManager library;
    const std::string user = folder.Write("user.personality", "<personalities><manufacturer label='Dazzle'>"
                                                              "<fixture label='Spot'>01</fixture><model label='Wash'>02"
                                                              "<modus label='8ch'>0203</modus></model></manufacturer>" +
                                                                  others + "</personalities>");
    const std::string other = folder.Write("other.xml", "<library/>");
    const std::string broken = folder.Write("broken.xml", "<personalities><manufacturer label='X'>");
    library.LoadFile(user, true);
    library.LoadFile(other, true);
    library.LoadFile(broken, true);
    EXPECT_EQ(Labels(library), "[Dazzle]");

    std::vector<std::string> lines = CApp::GetLogger()->GetLines();
    for (std::string& line : lines)
        line = line.substr(line.find("] ") + 2);
    const auto logged = [&](const std::string& line) {
        return std::count(lines.begin(), lines.end(), "[PersonalityManager] " + line);
    };
    EXPECT_EQ(logged("Not read, no library entry: \"" + user + "\": maker label=\"M0\""), 1);
    EXPECT_EQ(logged("Not read, no library entry: \"" + user + "\": maker label=\"M7\""), 1);
    EXPECT_EQ(logged("Not read, no library entry: \"" + user + "\": maker label=\"M8\""), 0);
    EXPECT_EQ(logged("Not read, no library entries: 4 more elements"), 1);
    EXPECT_EQ(logged("Not read, no library entry: \"" + user + "\": fixture label=\"Spot\""), 1);
    EXPECT_EQ(logged("Not read, no library entry: \"" + user + "\": modus label=\"8ch\""), 1);
    EXPECT_EQ(logged("Not read: \"" + other + "\" has no \"personalities\" element"), 1);
    // A file that is no well-formed XML is said too, with where it breaks.
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) {
                                return line.rfind("[PersonalityManager] Not read: \"" + broken + "\" is not well-formed",
                                                  0) == 0;
                            }),
              1);
}

TEST(PersonalityManager, TheShippedLibraryLoadsWhole)
{
    CTempFolder appData;
    appData.Write("user.personality", "<personalities><manufacturer label=\"Mine\">"
                                      "<model label=\"Par\">01</model></manufacturer></personalities>");
    CPersonalityManager library;
    library.Load(appData.Path(), std::string(TANZO_BINARY_DIR) + "/Resources");
    ASSERT_EQ(library.GetManufacturerCount(), 131u);
    EXPECT_EQ(library.GetManufacturer(0)->GetLabel(), "[Mine]");
    EXPECT_EQ(library.CountModels(), 1358u + 1u);
    EXPECT_EQ(library.CountModes(), 3706u);
    // Every model has its own profile, so a show that names a model without a mode still patches.
    for (uint32_t m = 0; m < library.GetManufacturerCount(); ++m)
    {
        const CManufacturer* manufacturer = library.GetManufacturer(m);
        for (uint32_t i = 0; i < manufacturer->GetModelCount(); ++i)
            ASSERT_FALSE(manufacturer->GetModel(i)->GetProfile().empty()) << manufacturer->GetModel(i)->GetLabel();
    }
}

TEST(PersonalityReadAhead, TheFilesAreReadWhereNoCallerWaitsAndComeWholeAndInOrder)
{
    CTempFolder appData;
    appData.Write("user.personality", "<personalities><manufacturer label='Mine'/></personalities>");
    CTempFolder resources;
    resources.Write("personalities/personalities.xml", "<personalities><manufacturer label='Dazzle'/></personalities>");
    const std::string extra = resources.Write("extra.xml", "<personalities><manufacturer label='Fog'/></personalities>");
    const struct
    {
        const char* what;
        // Once the reader is let go: what is read then, as the library lists it.
        std::function<void(CPersonalityManager&)> use;
        const char* labels;
    } rows[] = {
        {"taken over by a later call",
         [](CPersonalityManager& library) {
             bool taken = false;
             for (int i = 0; i < 5000 && !taken; ++i)
             {
                 taken = library.LoadAhead();
                 if (!taken)
                     std::this_thread::sleep_for(std::chrono::milliseconds(1));
             }
             EXPECT_TRUE(taken);
             EXPECT_FALSE(library.LoadAhead()) << "taken over once";
         },
         "[Mine]|Dazzle"},
        {"waited for by a look at the library", [](CPersonalityManager&) {}, "[Mine]|Dazzle"},
        {"waited for by a file read after", [&](CPersonalityManager& library) { library.LoadFile(extra, false); },
         "[Mine]|Dazzle|Fog"},
    };
    for (const auto& row : rows)
    {
        std::promise<void> release;
        const std::shared_future<void> released = release.get_future().share();
        std::mutex lock;
        std::vector<std::string> read;
        CPersonalityManager library([&](const std::string& path, size_t maxBytes, TiXmlDocument& document) {
            // Held until let go, but never for long: a reader on the caller's thread would
            // otherwise hold it for good.
            released.wait_for(std::chrono::seconds(2));
            std::lock_guard<std::mutex> guard(lock);
            read.push_back(path);
            return ReadXmlFile(path, maxBytes, document);
        });
        library.Load(appData.Path(), resources.Path());
        EXPECT_FALSE(library.LoadAhead()) << row.what;
        release.set_value();
        row.use(library);
        EXPECT_EQ(Labels(library), row.labels) << row.what;
        EXPECT_EQ(library.FindManufacturer("[mine]"), library.GetManufacturer(0)) << row.what;
        std::lock_guard<std::mutex> guard(lock);
        ASSERT_GE(read.size(), 2u) << row.what;
        EXPECT_EQ(read[0], appData.Path() + "/user.personality") << row.what;
        EXPECT_EQ(read[1], resources.Path() + "/personalities/personalities.xml") << row.what;
    }
}

// An end while the worker reads the user's file leaves the shipped library unread: it waits at most
// for the parse under way.
TEST(PersonalityReadAhead, AnEndStopsTheWorkerBeforeAFileItHasNotBegun)
{
    CTempFolder appData;
    appData.Write("user.personality", "<personalities><manufacturer label='Mine'/></personalities>");
    CTempFolder resources;
    resources.Write("personalities/personalities.xml", "<personalities><manufacturer label='Dazzle'/></personalities>");
    // Ends before the library it derives from does, so the reader knows an end has begun.
    class CEndingLibrary : public CPersonalityManager
    {
    public:
        using CPersonalityManager::CPersonalityManager;
        ~CEndingLibrary() override { ending.set_value(); }
        std::promise<void> ending;
    };
    std::promise<void> entered;
    std::mutex lock;
    std::vector<std::string> read;
    {
        std::shared_future<void> ending;
        CEndingLibrary library([&](const std::string& path, size_t maxBytes, TiXmlDocument& document) {
            bool first = false;
            {
                std::lock_guard<std::mutex> guard(lock);
                read.push_back(path);
                first = read.size() == 1;
            }
            if (first)
            {
                entered.set_value();
                // Never for long, should no end come.
                ending.wait_for(std::chrono::seconds(2));
                // The library's own end asks the worker to stop just after the end above: the
                // parse under way lasts on a while, as a long one would, so that the ask comes
                // before it ends however the threads are scheduled.
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            }
            return ReadXmlFile(path, maxBytes, document);
        });
        ending = library.ending.get_future().share();
        library.Load(appData.Path(), resources.Path());
        library.LoadAhead();
        entered.get_future().wait();
    }
    EXPECT_EQ(read, std::vector<std::string>{appData.Path() + "/user.personality"});
}
