#pragma once

#include <string>
#include <vector>

namespace resgen {

// The list of every run-time resource the program looks up, read from manifest.txt: the
// generator draws from it and the resource check compares the build tree against it.
class CManifest
{
public:
    // One picture file: Resources/<folder>/<name>.png.
    struct Picture
    {
        std::string folder;  // "skin" or "glyphs/<page>"
        std::string name;
        int width = 0;
        int height = 0;
        std::string art;     // what to draw, free text for the generator (may be empty)
    };

    // A skin button: four pictures, one per state.
    struct Button
    {
        std::string name;
        int width = 0;
        int height = 0;
        std::string style;               // nav, mode, action, flash
        std::vector<std::string> label;  // lines
    };

    struct Language
    {
        std::string file;   // file name without ".xml"; also its picture in glyphs/language
        std::string label;  // the "label" attribute of its language element
        std::string code;   // short code drawn on its picture
    };

    // A file the build tree must hold, relative to the build folder.
    struct Expected
    {
        enum class Kind { Png, Wav, Font, Xml, Text };
        Kind kind = Kind::Png;
        std::string path;
        int width = 0;   // pictures only
        int height = 0;
    };

    static const char* const kButtonStates[4];  // "_off_up", "_off_down", "_on_up", "_on_down"

    // Throws std::runtime_error naming the line for anything it cannot read.
    static CManifest Parse(const std::string& text);
    static CManifest Load(const std::string& path);

    const std::vector<Picture>& GetPictures() const { return m_pictures; }
    const std::vector<Button>& GetButtons() const { return m_buttons; }
    const std::vector<std::string>& GetClips() const { return m_clips; }
    const std::vector<std::string>& GetFonts() const { return m_fonts; }
    const std::vector<Language>& GetLanguages() const { return m_languages; }
    // Every required phrase, captions included, in manifest order.
    const std::vector<std::string>& GetPhrases() const { return m_phrases; }
    // The phrases that are shown upper-cased.
    const std::vector<std::string>& GetCaptions() const { return m_captions; }
    const std::vector<std::string>& GetTexts() const { return m_texts; }
    bool HasHints() const { return m_hints; }

    // Every picture, buttons expanded into their four states, language pictures included.
    std::vector<Picture> AllPictures() const;
    // Every file the build tree must hold.
    std::vector<Expected> ExpectedFiles() const;

private:
    std::vector<Picture> m_pictures;
    std::vector<Button> m_buttons;
    std::vector<std::string> m_clips;
    std::vector<std::string> m_fonts;
    std::vector<Language> m_languages;
    std::vector<std::string> m_phrases;
    std::vector<std::string> m_captions;
    std::vector<std::string> m_texts;  // other non-picture files under Resources
    bool m_hints = false;
};

}  // namespace resgen
