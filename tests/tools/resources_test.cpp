// The resource check: the build tree holds every file the program looks up, in the exact name,
// size and format it needs (tools/resgen/manifest.txt), and every language file covers every
// English phrase.
#include "tools/resgen/manifest.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using resgen::CManifest;

namespace {

const fs::path kSource = TANZO_SOURCE_DIR;
const fs::path kBuild = TANZO_BINARY_DIR;

const CManifest& Manifest()
{
    static const CManifest manifest = CManifest::Load((kSource / "tools/resgen/manifest.txt").string());
    return manifest;
}

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint32_t BigEndian32(const uint8_t* p) { return (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
uint32_t Little32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t Little16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The PNG header fields that matter to the loaders; empty string when it is one they read
// the way it was drawn (8-bit RGBA, not interlaced).
struct PngHeader
{
    uint32_t width = 0, height = 0;
    std::string problem;
};

PngHeader ReadPngHeader(const std::vector<uint8_t>& b)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngHeader h;
    if (b.size() < 33 || std::memcmp(b.data(), kSignature, 8) != 0 || std::memcmp(b.data() + 12, "IHDR", 4) != 0) {
        h.problem = "not a PNG";
        return h;
    }
    h.width = BigEndian32(b.data() + 16);
    h.height = BigEndian32(b.data() + 20);
    const int depth = b[24], colourType = b[25], interlace = b[28];
    if (depth != 8 || colourType != 6) {
        // Palette files lose their transparency in the loader; grey or RGB ones are opaque.
        h.problem = "bit depth " + std::to_string(depth) + ", colour type " + std::to_string(colourType) +
                    " (wanted 8-bit RGBA, colour type 6)";
    } else if (interlace != 0) {
        h.problem = "interlaced";
    }
    return h;
}

class CSdl : public ::testing::Environment
{
public:
    void SetUp() override
    {
        SDL_Init(0);
        IMG_Init(IMG_INIT_PNG);
        TTF_Init();
    }
    void TearDown() override
    {
        TTF_Quit();
        IMG_Quit();
        SDL_Quit();
    }
};
[[maybe_unused]] const auto* const kSdl = ::testing::AddGlobalTestEnvironment(new CSdl);

// ---- language files, read the way the language manager reads them ----

struct Phrase
{
    std::string ref;
    std::string text;
};

struct LanguageFile
{
    std::string error;  // parse or structure problem
    std::string label;
    std::vector<Phrase> phrases;
};

LanguageFile ReadLanguage(const fs::path& path)
{
    LanguageFile out;
    TiXmlDocument doc(path.string());
    if (!doc.LoadFile()) {
        out.error = std::string("does not parse: ") + doc.ErrorDesc();
        return out;
    }
    const TiXmlNode* show = doc.FirstChild("show");
    if (show == nullptr) {
        out.error = "no show root";
        return out;
    }
    int languages = 0;
    for (const TiXmlNode* group = show->FirstChild("languages"); group; group = group->NextSibling("languages")) {
        for (const TiXmlElement* language = group->FirstChildElement(); language;
             language = language->NextSiblingElement()) {
            ++languages;
            const char* label = language->Attribute("label");
            out.label = label ? label : "";
            for (const TiXmlElement* p = language->FirstChildElement(); p; p = p->NextSiblingElement()) {
                const char* ref = p->Attribute("ref");
                const char* text = p->GetText();
                out.phrases.push_back({ref ? ref : "", text ? text : ""});
            }
        }
    }
    if (languages != 1) {
        out.error = "holds " + std::to_string(languages) + " languages, wanted one";
    }
    return out;
}

std::string FirstCapital(const std::string& s)
{
    std::string out = s;
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (c < 0x80) {
            out[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
        }
    }
    return out;
}

// Phrases the language manager would refuse: a ref already known, or whose first-capital form
// is already known (so "OK" after "Ok" would be lost).
std::vector<std::string> RefusedPhrases(const std::vector<Phrase>& phrases)
{
    std::set<std::string> keys;
    std::vector<std::string> refused;
    for (const Phrase& p : phrases) {
        if (keys.count(p.ref) != 0 || keys.count(FirstCapital(p.ref)) != 0) {
            refused.push_back(p.ref);
        } else {
            keys.insert(p.ref);
        }
    }
    return refused;
}

// Lower-case letters that ASCII upper-casing leaves alone (Latin-1 and Latin Extended-A, as
// UTF-8): a title holding one shows it in lower case among capitals.
bool HasLowerCaseOutsideAscii(const std::string& s)
{
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
        if (a == 0xC3 && b >= 0x9F && b <= 0xBF && b != 0xB7) {
            return true;  // U+00DF .. U+00FF except the division sign
        }
        if (a == 0xC5 && (b == 0x93 || b == 0xA1 || b == 0xBE)) {
            return true;  // oe, s and z with caron
        }
    }
    return false;
}

std::vector<std::string> HintTexts()
{
    std::vector<std::string> texts;
    TiXmlDocument doc((kBuild / "Resources/explanations/explanations.xml").string());
    if (!doc.LoadFile()) {
        return texts;
    }
    const TiXmlNode* root = doc.FirstChild("zevral");
    for (const TiXmlNode* group = root ? root->FirstChild("explanations") : nullptr; group;
         group = group->NextSibling("explanations")) {
        for (const TiXmlElement* e = group->FirstChildElement(); e; e = e->NextSiblingElement()) {
            if (e->Attribute("id") != nullptr && e->GetText() != nullptr) {
                texts.emplace_back(e->GetText());
            }
        }
    }
    return texts;
}

// Phrases a source passes to the phrase lookup: string literals handed to Translate, or passed
// first with the translate flag set ("SetText(\"Ok\", true"). Comments and character literals
// are skipped.
std::vector<std::string> ScanTranslatedLiterals(const std::string& s)
{
    auto isWord = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; };
    auto skipSpaceBack = [&](size_t i) {  // index of the last non-space before i, or npos
        while (i > 0 && std::isspace(static_cast<unsigned char>(s[i - 1])) != 0) {
            --i;
        }
        return i == 0 ? std::string::npos : i - 1;
    };
    auto skipSpace = [&](size_t i) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])) != 0) {
            ++i;
        }
        return i;
    };
    std::vector<std::string> found;
    size_t i = 0;
    while (i < s.size()) {
        if (s.compare(i, 2, "//") == 0) {
            i = s.find('\n', i);
            continue;
        }
        if (s.compare(i, 2, "/*") == 0) {
            const size_t end = s.find("*/", i + 2);
            i = end == std::string::npos ? end : end + 2;
            continue;
        }
        if (s[i] == '\'') {
            i += s.compare(i, 2, "'\\") == 0 ? 4 : 3;
            continue;
        }
        if (s[i] != '"') {
            ++i;
            continue;
        }
        const size_t start = i;
        std::string literal;
        for (++i; i < s.size() && s[i] != '"'; ++i) {
            if (s[i] == '\\' && i + 1 < s.size()) {
                ++i;
            }
            literal += s[i];
        }
        const size_t after = i + 1;
        i = after;
        const size_t open = skipSpaceBack(start);
        if (open == std::string::npos || s[open] != '(' || literal.empty()) {
            continue;
        }
        const size_t nameEnd = skipSpaceBack(open);
        // A template's arguments end there: a child made with its constructor's arguments.
        if (nameEnd != std::string::npos && s[nameEnd] == '>') {
            continue;
        }
        size_t nameStart = nameEnd == std::string::npos ? 0 : nameEnd + 1;
        while (nameStart > 0 && isWord(s[nameStart - 1])) {
            --nameStart;
        }
        const bool translate = nameEnd != std::string::npos &&
                               s.compare(nameStart, nameEnd + 1 - nameStart, "Translate") == 0;
        size_t j = skipSpace(after);
        bool flagged = false;
        if (j < s.size() && s[j] == ',') {
            j = skipSpace(j + 1);
            flagged = s.compare(j, 4, "true") == 0 && (j + 4 >= s.size() || !isWord(s[j + 4]));
        }
        if (translate || flagged) {
            found.push_back(literal);
        }
    }
    return found;
}

}  // namespace

TEST(PhraseScan, FindsLiteralsPassedForTranslation)
{
    const std::string code = R"(
        m_ok->SetCaption("Ok", true);
        m_label->SetText("None", false);          // shown as it stands
        caption->SetCaption("Edit String", true, true);
        const std::string s = CApp::Translate("Intensity", false);
        Log("GlyphManager", "Loading from \"%s\"", 1);
        // SetText("Commented out", true);
        const char quote = '"'; const char slash = '\\';
        m_box->SetText("Don't show \"this\"", true);
        m_back = MakeChild<CAreaButton>("button_back", true);
    )";
    EXPECT_EQ(ScanTranslatedLiterals(code),
              (std::vector<std::string>{"Ok", "Edit String", "Intensity", "Don't show \"this\""}));
}

TEST(Resources, EveryListedFileIsInTheBuildTree)
{
    for (const CManifest::Expected& e : Manifest().ExpectedFiles()) {
        const fs::path path = kBuild / e.path;
        EXPECT_TRUE(fs::is_regular_file(path)) << e.path << " is missing";
        // The exact name, not one that differs in case (the loaders compare names exactly).
        bool exact = false;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(path.parent_path(), ec)) {
            exact = exact || entry.path().filename() == path.filename();
        }
        EXPECT_TRUE(exact) << e.path;
    }
}

TEST(Resources, PicturesAreRgbaPngsOfTheirWidgetSize)
{
    for (const CManifest::Expected& e : Manifest().ExpectedFiles()) {
        if (e.kind != CManifest::Expected::Kind::Png) {
            continue;
        }
        const fs::path path = kBuild / e.path;
        const PngHeader h = ReadPngHeader(ReadBytes(path));
        EXPECT_EQ(h.problem, "") << e.path;
        EXPECT_EQ(h.width, static_cast<uint32_t>(e.width)) << e.path;
        EXPECT_EQ(h.height, static_cast<uint32_t>(e.height)) << e.path;
        // And the program's own image loader reads it with its alpha.
        SDL_Surface* surface = IMG_Load(path.string().c_str());
        ASSERT_NE(surface, nullptr) << e.path << ": " << IMG_GetError();
        EXPECT_EQ(surface->w, e.width) << e.path;
        EXPECT_NE(surface->format->Amask, 0u) << e.path;
        EXPECT_EQ(SDL_HasColorKey(surface), SDL_FALSE) << e.path;
        SDL_FreeSurface(surface);
    }
}

TEST(Resources, PictureFoldersHoldNothingButListedPictures)
{
    // Every file there becomes an image set, and a "skin" subfolder becomes a skin page.
    std::set<fs::path> listed;
    std::set<std::string> pages;
    for (const CManifest::Picture& p : Manifest().AllPictures()) {
        listed.insert(kBuild / "Resources" / p.folder / (p.name + ".png"));
        if (p.folder.rfind("glyphs/", 0) == 0) {
            pages.insert(p.folder.substr(7));
        }
    }
    for (const auto& entry : fs::directory_iterator(kBuild / "Resources/skin")) {
        EXPECT_TRUE(entry.is_regular_file()) << entry.path() << " would be a skin page";
        EXPECT_EQ(listed.count(entry.path()), 1u) << entry.path() << " is not in the manifest";
    }
    for (const auto& page : fs::directory_iterator(kBuild / "Resources/glyphs")) {
        ASSERT_TRUE(page.is_directory()) << page.path() << " lies loose in the glyph folder";
        EXPECT_EQ(pages.count(page.path().filename().string()), 1u) << page.path();
        for (const auto& entry : fs::directory_iterator(page.path())) {
            EXPECT_EQ(listed.count(entry.path()), 1u) << entry.path() << " is not in the manifest";
        }
    }
}

TEST(Resources, ClipsArePcm44100Stereo16Bit)
{
    for (const std::string& clip : Manifest().GetClips()) {
        const fs::path path = kBuild / "bin/audio" / (clip + ".wav");
        const std::vector<uint8_t> b = ReadBytes(path);
        ASSERT_GE(b.size(), 44u) << clip;
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(Little32(&b[4]), b.size() - 8) << clip;
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(Little16(&b[20]), 1) << clip << ": PCM";
        EXPECT_EQ(Little16(&b[22]), 2) << clip << ": channels";
        EXPECT_EQ(Little32(&b[24]), 44100u) << clip;
        EXPECT_EQ(Little16(&b[34]), 16) << clip << ": bits";
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        EXPECT_EQ(Little32(&b[40]), b.size() - 44) << clip;

        SDL_AudioSpec read;
        Uint8* data = nullptr;
        Uint32 length = 0;
        ASSERT_NE(SDL_LoadWAV(path.string().c_str(), &read, &data, &length), nullptr) << SDL_GetError();
        EXPECT_EQ(read.freq, 44100);
        EXPECT_EQ(read.channels, 2);
        EXPECT_EQ(read.format, AUDIO_S16LSB);
        const double seconds = length / (44100.0 * 4);
        EXPECT_GT(seconds, 0.005) << clip;
        EXPECT_LT(seconds, 0.3) << clip << ": a click, not a tune";
        SDL_FreeWAV(data);
    }
}

TEST(Resources, FontIsLiberationSansUnderTheNameTheWidgetsAskFor)
{
    ASSERT_FALSE(Manifest().GetFonts().empty());
    const fs::path font = kBuild / "Resources/fonts" / Manifest().GetFonts().front();
    TTF_Font* handle = TTF_OpenFont(font.string().c_str(), 14);
    ASSERT_NE(handle, nullptr) << TTF_GetError();
    EXPECT_STREQ(TTF_FontFaceFamilyName(handle), "Liberation Sans");
    TTF_CloseFont(handle);
    // The layouts are made for its metrics; a ".fon" of the same name would be opened first.
    EXPECT_FALSE(fs::exists(kBuild / "Resources/fonts/arial.fon"));
    std::ifstream licence(kBuild / "Resources/fonts/LICENSE_LiberationSans.txt");
    const std::string text((std::istreambuf_iterator<char>(licence)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("SIL OPEN FONT LICENSE Version 1.1"), std::string::npos);
}

TEST(Languages, ShippedFilesAreTheListedOnesEachWithItsPicture)
{
    std::set<std::string> shipped, listed;
    for (const auto& entry : fs::directory_iterator(kBuild / "Resources/languages")) {
        shipped.insert(entry.path().filename().string());
    }
    for (const CManifest::Language& l : Manifest().GetLanguages()) {
        listed.insert(l.file + ".xml");
        EXPECT_TRUE(fs::exists(kBuild / "Resources/glyphs/language" / (l.file + ".png"))) << l.file;
    }
    EXPECT_EQ(shipped, listed);
    EXPECT_EQ(listed.count("english.xml"), 1u) << "the language selected at start-up";
}

TEST(Languages, EachFileParsesAndStoresEveryPhraseItHolds)
{
    for (const CManifest::Language& l : Manifest().GetLanguages()) {
        const LanguageFile file = ReadLanguage(kBuild / "Resources/languages" / (l.file + ".xml"));
        ASSERT_EQ(file.error, "") << l.file;
        EXPECT_EQ(file.label, l.label) << l.file;
        EXPECT_EQ(RefusedPhrases(file.phrases), std::vector<std::string>{}) << l.file;
        for (const Phrase& p : file.phrases) {
            EXPECT_FALSE(p.ref.empty()) << l.file;
            EXPECT_FALSE(p.text.empty()) << l.file << ": " << p.ref;
        }
    }
}

TEST(Languages, EnglishHoldsEveryPhraseAndEveryOtherLanguageCoversEnglish)
{
    const LanguageFile english = ReadLanguage(kBuild / "Resources/languages/english.xml");
    ASSERT_EQ(english.error, "");
    std::map<std::string, std::string> englishTable;
    for (const Phrase& p : english.phrases) {
        englishTable.emplace(p.ref, p.text);
        EXPECT_EQ(p.text, p.ref) << "English shows its phrases as they stand";
    }
    std::vector<std::string> required = Manifest().GetPhrases();
    const std::vector<std::string> hints = HintTexts();
    ASSERT_FALSE(hints.empty()) << "no first-use hint";
    required.insert(required.end(), hints.begin(), hints.end());
    for (const std::string& phrase : required) {
        EXPECT_EQ(englishTable.count(phrase), 1u) << "english.xml lacks \"" << phrase << "\"";
    }
    for (const CManifest::Language& l : Manifest().GetLanguages()) {
        const LanguageFile file = ReadLanguage(kBuild / "Resources/languages" / (l.file + ".xml"));
        std::map<std::string, std::string> table;
        for (const Phrase& p : file.phrases) {
            table.emplace(p.ref, p.text);
        }
        for (const auto& entry : englishTable) {
            EXPECT_EQ(table.count(entry.first), 1u) << l.file << " lacks \"" << entry.first << "\"";
        }
        for (const std::string& caption : Manifest().GetCaptions()) {
            EXPECT_FALSE(HasLowerCaseOutsideAscii(table[caption]))
                << l.file << ": the title \"" << table[caption] << "\" would not upper-case";
        }
    }
}

TEST(Languages, CodeTranslatesOnlyPhrasesEnglishHolds)
{
    const LanguageFile english = ReadLanguage(kBuild / "Resources/languages/english.xml");
    std::set<std::string> refs;
    for (const Phrase& p : english.phrases) {
        refs.insert(p.ref);
    }
    for (const char* layer : {"graphics", "widgets", "screens"}) {
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(kSource / layer, ec)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") {
                continue;
            }
            std::ifstream file(entry.path());
            std::stringstream text;
            text << file.rdbuf();
            for (const std::string& phrase : ScanTranslatedLiterals(text.str())) {
                EXPECT_EQ(refs.count(phrase), 1u)
                    << entry.path() << " translates \"" << phrase
                    << "\": add it to tools/resgen/manifest.txt and every file in resources/languages";
            }
        }
    }
}

TEST(Hints, FileHoldsHintOneWithText)
{
    TiXmlDocument doc((kBuild / "Resources/explanations/explanations.xml").string());
    ASSERT_TRUE(doc.LoadFile()) << doc.ErrorDesc();
    const TiXmlNode* root = doc.FirstChild("zevral");
    ASSERT_NE(root, nullptr);
    bool first = false;
    for (const TiXmlNode* group = root->FirstChild("explanations"); group; group = group->NextSibling("explanations")) {
        for (const TiXmlElement* e = group->FirstChildElement(); e; e = e->NextSiblingElement()) {
            const char* id = e->Attribute("id");
            ASSERT_NE(id, nullptr);
            ASSERT_NE(e->GetText(), nullptr) << "hint " << id << " has no text";
            first = first || std::string(id) == "1";
        }
    }
    EXPECT_TRUE(first) << "hint 1 is shown when a new show file is made";
}
