#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CAppModel;
class CTranslator;
class CUserInterface;

// What the application builds from the layers above the shell, each asked for at its place in
// the start-up order: the program's entry point hands them in. Every part may be missing: an
// application without parts is a bare shell with a window and a loop.
class CApplicationParts
{
public:
    virtual ~CApplicationParts() = default;

    // Right after the log: the skin, preferring the sub-folder of that name, then the glyph pages.
    virtual void LoadSkinAndGlyphs(const std::string& skinName) = 0;
    // As soon as the screen class is known (off the touch platform right after the skin, before
    // SDL starts): what the root area shows first may start being prepared while start-up goes on.
    virtual void PrepareRootArea() {}
    // Once the screen class is chosen: the language manager, which the application base keeps
    // until the very end.
    virtual std::unique_ptr<CTranslator> CreateLanguageManager() = 0;
    // After the click-sound player: the model root, whose options the language manager is handed.
    virtual std::unique_ptr<CAppModel> CreateModelRoot(int argc, char** argv) = 0;
    // Before the window: the fonts folder.
    virtual void ScanFonts() = 0;
    // Once the window exists: the root area of the window's size, handed the model root.
    virtual std::unique_ptr<CUserInterface> CreateRootArea(uint32_t width, uint32_t height) = 0;
};
