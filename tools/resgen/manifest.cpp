#include "tools/resgen/manifest.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace resgen {

const char* const CManifest::kButtonStates[4] = {"_off_up", "_off_down", "_on_up", "_on_down"};

namespace {

constexpr int kLanguagePictureSize = 64;

std::string Trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) {
        return "";
    }
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

// Reads the next word; the rest of the line stays in the stream.
std::string Word(std::istringstream& in)
{
    std::string w;
    in >> w;
    return w;
}

std::string Rest(std::istringstream& in)
{
    std::string rest;
    std::getline(in, rest);
    return Trim(rest);
}

int Size(std::istringstream& in, const std::string& where)
{
    const std::string w = Word(in);
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(w, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != w.size() || value <= 0 || value > 5120) {
        throw std::runtime_error(where + ": bad size \"" + w + "\"");
    }
    return value;
}

// Names become image-set names after the last "-" is cut off, so none may hold one; and the
// program compares them exactly on a case-sensitive file system.
void CheckName(const std::string& name, const std::string& where)
{
    if (name.empty()) {
        throw std::runtime_error(where + ": missing name");
    }
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            throw std::runtime_error(where + ": name \"" + name +
                                     "\" may hold only a-z, 0-9 and _");
        }
    }
}

std::vector<std::string> SplitLabel(const std::string& label)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(label);
    while (std::getline(in, line, '|')) {
        lines.push_back(Trim(line));
    }
    return lines;
}

}  // namespace

CManifest CManifest::Parse(const std::string& text)
{
    CManifest m;
    std::istringstream lines(text);
    std::string raw;
    int number = 0;
    while (std::getline(lines, raw)) {
        ++number;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::string where = "manifest line " + std::to_string(number);
        std::istringstream in(line);
        const std::string kind = Word(in);
        if (kind == "skin" || kind == "glyph") {
            Picture p;
            if (kind == "glyph") {
                const std::string page = Word(in);
                CheckName(page, where);
                p.folder = "glyphs/" + page;
            } else {
                p.folder = "skin";
            }
            p.name = Word(in);
            CheckName(p.name, where);
            p.width = Size(in, where);
            p.height = Size(in, where);
            p.art = Rest(in);
            m.m_pictures.push_back(p);
        } else if (kind == "button") {
            Button b;
            b.name = Word(in);
            CheckName(b.name, where);
            b.width = Size(in, where);
            b.height = Size(in, where);
            b.style = Word(in);
            b.label = SplitLabel(Rest(in));
            if (b.style.empty() || b.label.empty()) {
                throw std::runtime_error(where + ": a button needs a style and a label");
            }
            m.m_buttons.push_back(b);
        } else if (kind == "clip") {
            const std::string name = Word(in);
            CheckName(name, where);
            m.m_clips.push_back(name);
        } else if (kind == "font") {
            const std::string file = Word(in);
            if (file.empty()) {
                throw std::runtime_error(where + ": missing font file");
            }
            m.m_fonts.push_back(file);
        } else if (kind == "text") {
            const std::string file = Word(in);
            if (file.empty()) {
                throw std::runtime_error(where + ": missing file");
            }
            m.m_texts.push_back(file);
        } else if (kind == "language") {
            Language l;
            l.file = Word(in);
            CheckName(l.file, where);
            l.code = Word(in);
            l.label = Rest(in);
            if (l.code.empty() || l.label.empty()) {
                throw std::runtime_error(where + ": a language needs a code and a label");
            }
            m.m_languages.push_back(l);
        } else if (kind == "hints") {
            m.m_hints = true;
        } else if (kind == "phrase" || kind == "caption") {
            const std::string phrase = Rest(in);
            if (phrase.empty()) {
                throw std::runtime_error(where + ": empty phrase");
            }
            m.m_phrases.push_back(phrase);
            if (kind == "caption") {
                m.m_captions.push_back(phrase);
            }
        } else {
            throw std::runtime_error(where + ": unknown entry \"" + kind + "\"");
        }
    }
    return m;
}

CManifest CManifest::Load(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return Parse(text.str());
}

std::vector<CManifest::Picture> CManifest::AllPictures() const
{
    std::vector<Picture> all = m_pictures;
    for (const Button& b : m_buttons) {
        for (const char* state : kButtonStates) {
            Picture p;
            p.folder = "skin";
            p.name = b.name + state;
            p.width = b.width;
            p.height = b.height;
            all.push_back(p);
        }
    }
    for (const Language& l : m_languages) {
        Picture p;
        p.folder = "glyphs/language";
        p.name = l.file;
        p.width = kLanguagePictureSize;
        p.height = kLanguagePictureSize;
        p.art = l.code;
        all.push_back(p);
    }
    return all;
}

std::vector<CManifest::Expected> CManifest::ExpectedFiles() const
{
    std::vector<Expected> files;
    for (const Picture& p : AllPictures()) {
        Expected e;
        e.kind = Expected::Kind::Png;
        e.path = "Resources/" + p.folder + "/" + p.name + ".png";
        e.width = p.width;
        e.height = p.height;
        files.push_back(e);
    }
    for (const std::string& clip : m_clips) {
        files.push_back({Expected::Kind::Wav, "bin/audio/" + clip + ".wav", 0, 0});
    }
    for (const std::string& font : m_fonts) {
        files.push_back({Expected::Kind::Font, "Resources/fonts/" + font, 0, 0});
    }
    for (const std::string& text : m_texts) {
        files.push_back({Expected::Kind::Text, "Resources/" + text, 0, 0});
    }
    for (const Language& l : m_languages) {
        files.push_back({Expected::Kind::Xml, "Resources/languages/" + l.file + ".xml", 0, 0});
    }
    if (m_hints) {
        files.push_back({Expected::Kind::Xml, "Resources/explanations/explanations.xml", 0, 0});
    }
    return files;
}

}  // namespace resgen
