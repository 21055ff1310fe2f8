// The languages and hints as the application starts them: the shipped files are copied and
// read, the options file chooses the language and silences hints, and the choices made while
// the program runs reach the options. Creates the model root: run through ctest only.
#include "graphics/explanation_manager.h"
#include "graphics/language_manager.h"
#include "model/core.h"
#include "shell/application.h"
#include "tests/shell/services_test_support.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = boost::filesystem;

TEST(LanguageApplication, StartUpLoadsTheLanguagesAndTheOptionsChooseAmongThem)
{
    const fs::path home = FreshTestFolder();
    CScopedEnv xdg("XDG_DATA_HOME", home.string().c_str());
    fs::create_directories(home / "Zevral/Programmer");
    std::ofstream((home / "Zevral/Programmer/options.xml").string())
        << "<zevral><options><language>deutsch</language>"
           "<ignore_explanations><id>1</id></ignore_explanations></options></zevral>";

    char name[] = "Programmer";
    char* argv[] = {name, nullptr};
    CApp2* app = new CApp2(CVersion(1, 7, 0), 1, argv, "");
    CLanguageManager* languages = CLanguageManager::FromApplication();
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(languages->GetLanguageCount(), 3u);
    EXPECT_TRUE(fs::exists(home / "Zevral/Common/Languages/Factory/francais.xml"));
    EXPECT_EQ(CApp::Translate("Cancel", false), "Abbrechen");

    COptions* options = CApp2::GetCore()->GetOptions();
    languages->SetLanguage("English");
    EXPECT_EQ(options->GetLanguage(), "English");
    EXPECT_EQ(CApp::Translate("Cancel", true), "CANCEL");

    auto* hints = dynamic_cast<CExplanationManager*>(CApp2::GetCore()->GetExplanations());
    ASSERT_NE(hints, nullptr);
    EXPECT_GE(hints->GetExplanationCount(), 1u);
    std::string text = "x";
    hints->GetExplanation(1, text);
    EXPECT_EQ(text, "") << "silenced by the options file";

    delete app;
    EXPECT_EQ(CApp::GetLanguageManager(), nullptr);
    EXPECT_EQ(CApp::Translate("Cancel", true), "Cancel");
}
