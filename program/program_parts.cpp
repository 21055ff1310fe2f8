#include "program/program_parts.h"

#include "graphics/explanation_manager.h"
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "model/core.h"
#include "model/personality_manager.h"
#include "screens/pages/area_main.h"
#include "screens/pages/area_playback.h"
#include "shell/app_model.h"
#include "widgets/area_window.h"

namespace
{
// The model root as the application drives it. As it goes, the language manager, which outlives
// it, lets go of the options it was handed.
class CProgramModel : public CAppModel
{
public:
    CProgramModel(std::unique_ptr<CCore> core, CLanguageManager* languages)
        : m_core(std::move(core)), m_languages(languages)
    {
    }
    ~CProgramModel() override
    {
        m_core.reset();
        if (m_languages)
            m_languages->SetOptions(nullptr);
    }

    void Update(float seconds) override { m_core->Update(seconds); }
    void Suspend() override { m_core->Suspend(); }
    void Resume() override { m_core->Resume(); }
    bool LoadDeferred() override { return m_core->GetPersonalityManager()->LoadAhead(); }

private:
    std::unique_ptr<CCore> m_core;
    CLanguageManager* m_languages;
};
}  // namespace

void CProgramParts::LoadSkinAndGlyphs(const std::string& skinName)
{
    CSkinManager::Instance().Load();
    CSkinManager::Instance().SetSkinName(skinName);
    CGlyphManager::Instance().Load();
}

void CProgramParts::PrepareRootArea()
{
    // The background of the page the root area opens on is nearly all the picture decoding its
    // first frame waits for.
    static_assert(CAreaMain::kStartPage == CAreaMain::kPagePlayback, "the start page's background is decoded ahead");
    CSkinManager::Instance().DecodeAhead(CSkinManager::GetSkinFileName(CAreaPlayback::kBackground));
}

std::unique_ptr<CTranslator> CProgramParts::CreateLanguageManager()
{
    auto languages = std::make_unique<CLanguageManagerDesktop>();
    m_languages = languages.get();
    return languages;
}

std::unique_ptr<CAppModel> CProgramParts::CreateModelRoot(int argc, char** argv)
{
    CCoreSetup setup;
    setup.language = m_languages;
    setup.createExplanations = [](COptions& options) -> std::unique_ptr<COptionsHints> {
        auto hints = std::make_unique<CExplanationManager>();
        hints->Init(&options);
        return hints;
    };
    std::unique_ptr<CCore> core = CCore::Create(argc, argv, setup);
    m_core = core.get();
    if (m_languages)
        m_languages->SetOptions(core->GetOptions());
    return std::make_unique<CProgramModel>(std::move(core), m_languages);
}

void CProgramParts::ScanFonts()
{
    CFontManager::Instance().ScanFonts();
}

std::unique_ptr<CUserInterface> CProgramParts::CreateRootArea(uint32_t width, uint32_t height)
{
    return std::make_unique<CAreaWindow>(std::make_unique<CAreaMain>(nullptr, width, height, m_core));
}
