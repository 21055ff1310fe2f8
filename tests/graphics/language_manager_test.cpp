// The phrase lookup and the choice of language.
#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "graphics/language.h"
#include "graphics/language_manager.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace
{
CLanguage Table(const std::vector<std::string>& phrases)
{
    CLanguage language("test", "test");
    for (const std::string& phrase : phrases)
        language.AddPhrase(phrase, "<" + phrase + ">");
    return language;
}

// A manager whose languages come from files a test writes.
class CFileLanguages : public CLanguageManager
{
public:
    void Load() override {}
    void Sort() { SortLanguages(); }
};

class CCodeRecorder : public CObserver
{
public:
    void HandleNotify(CSubject*, uint32_t code) override
    {
        if (code != NOTIFY_RELEASE)
            codes.push_back(code);
    }
    std::vector<uint32_t> codes;
};

std::string WriteFile(const boost::filesystem::path& path, const std::string& content)
{
    std::ofstream(path.string()) << content;
    return path.string();
}
}  // namespace

TEST(LanguageLookup, EachLookupFindsWhatThePreviousOnesMiss)
{
    const struct
    {
        std::vector<std::string> keys;
        std::string text;
        bool byForms;  // found by the exact, first-capital or each-word lookup
        bool found;    // found at all (the scan included)
    } table[] = {
        {{"Open file"}, "OPEN FILE", true, true},
        {{"Open file"}, "open file", true, true},
        {{"Open file"}, "oPEN fILE", true, true},
        {{"Open file"}, "open-file", false, false},
        {{"Open File"}, "OPEN FILE", true, true},
        {{"DMX Address"}, "dmx address", false, true},
        {{"Ab Cd"}, " ab cd", false, false},  // a leading space starts no word
        {{" ab Cd"}, " AB CD", true, true},
        {{"A\tb-c D"}, "a\tB-C d", true, true},  // only the space separates words
        {{"X"}, "x", true, true},
        {{"\xC3\x84rger"}, "\xC3\xA4rger", false, false},
        {{"\xC3\x84rger"}, "\xC3\x84RGER", true, true},
        {{}, "Ok", false, false},
    };
    for (const auto& row : table)
    {
        const CLanguage language = Table(row.keys);
        EXPECT_EQ(language.HasPhrase(row.text, true), row.byForms) << row.text;
        EXPECT_EQ(language.HasPhrase(row.text, false), row.found) << row.text;
        EXPECT_EQ(language.Translate(row.text), row.found ? "<" + row.keys[0] + ">" : row.text) << row.text;
    }
}

TEST(LanguageLookup, FirstDefinitionWinsAndTheScanTakesTheBytewiseFirst)
{
    CLanguage language = Table({"Ok", "Ok", "OK"});  // "OK": its first-capital form is known
    EXPECT_EQ(language.GetPhraseCount(), 1u);
    CLanguage upperFirst = Table({"OK", "ok"});
    EXPECT_EQ(upperFirst.Translate("ok"), "<ok>");
    EXPECT_EQ(upperFirst.Translate("oK"), "<OK>");
    EXPECT_EQ(upperFirst.GetPhrase(0), "OK");
    EXPECT_EQ(upperFirst.GetPhrase(2), "");
}

TEST(LanguageManager, ChoosingByNameTranslatesNotifiesAChangeAndTellsTheOptions)
{
    const boost::filesystem::path folder = FreshTestFolder();
    CFileLanguages manager;
    EXPECT_EQ(manager.Translate("Ok", true), "OK");
    EXPECT_FALSE(manager.LoadFile(WriteFile(folder / "broken.xml", "<show><languages>")));
    // 200 KB whose every byte of comment is 12 bytes of text: past the bound of 256 KB as text.
    EXPECT_FALSE(manager.LoadFile(WriteFile(folder / "wide.xml", "<?xml version=\"1.0\" encoding=\"TSCII\"?><!--" +
                                                                     std::string(200 * 1024, '\x82') +
                                                                     "--><show><languages><l label=\"Wide\"/></languages></show>")));
    // Unnamed languages and phrases without English or translation are left out.
    EXPECT_TRUE(manager.LoadFile(WriteFile(folder / "two.v2.xml", R"(<show><other><x label="No"/></other>
        <languages><l label="English"><p ref="Cancel">Cancel</p></l><l><p ref="Ok">unnamed</p></l></languages>
        <languages><l label="Deutsch"><!-- c --><p ref="Cancel">Abbrechen</p><p ref="Close">Schließen</p>
          <p>no phrase</p><p ref="Empty"/></l></languages></show>)")));
    manager.Sort();
    ASSERT_EQ(manager.GetLanguageCount(), 2u);
    EXPECT_EQ(manager.GetLanguage(0)->GetFileName(), "two.v2");
    EXPECT_EQ(manager.GetLanguage(0)->GetPhraseCount(), 2u);

    COptions options(folder.string());
    options.SetCore(nullptr, &manager, nullptr);
    manager.SetOptions(&options);
    CCodeRecorder observer;
    observer.Observe(&manager);
    manager.SetLanguage("deutsch");
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{NOTIFY_UNKNOWN});
    EXPECT_TRUE(manager.IsCurrentLanguage(manager.GetLanguage(0)));
    EXPECT_EQ(manager.Translate("cancel", false), "Abbrechen");
    EXPECT_EQ(manager.Translate("close", true), "SCHLIEßEN");
    EXPECT_EQ(manager.Translate("", true), "");

    manager.SetLanguage("DEUTSCH");
    EXPECT_EQ(observer.codes.size(), 1u) << "the same language in another case is no change";
    EXPECT_EQ(options.GetLanguage(), "DEUTSCH") << "the name as given";
    manager.SetLanguage("Klingon");
    EXPECT_EQ(observer.codes.size(), 2u);
    EXPECT_EQ(manager.GetLanguageName(), "");
    EXPECT_EQ(manager.Translate("Cancel", true), "CANCEL");
    EXPECT_EQ(options.GetLanguage(), "Klingon");
}
