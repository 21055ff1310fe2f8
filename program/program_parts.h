#pragma once

#include "shell/application_parts.h"

class CCore;
class CLanguageManagerDesktop;

// The composition root: what the program builds from the layers above the shell and hands to the
// application at its places in start-up. The skin and the glyph pages, the desktop language
// manager, the model root (with the first-use hints, and its options handed to the language
// manager), the fonts, and the root area showing the model root.
class CProgramParts : public CApplicationParts
{
public:
    void LoadSkinAndGlyphs(const std::string& skinName) override;
    void PrepareRootArea() override;
    std::unique_ptr<CTranslator> CreateLanguageManager() override;
    std::unique_ptr<CAppModel> CreateModelRoot(int argc, char** argv) override;
    void ScanFonts() override;
    std::unique_ptr<CUserInterface> CreateRootArea(uint32_t width, uint32_t height) override;

    // The model root made, for as long as the application that holds it lives; null before.
    CCore* GetCore() const { return m_core; }

private:
    // Owned by the application base, which deletes it last.
    CLanguageManagerDesktop* m_languages = nullptr;
    CCore* m_core = nullptr;
};
