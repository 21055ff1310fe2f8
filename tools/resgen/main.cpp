// resgen: draws the program's skin, glyph pages and click clips from the manifest.
//
//   resgen --source REPO --out BUILD [--preview DIR] [--stamp FILE]
//
// Pictures go to BUILD/Resources/skin and BUILD/Resources/glyphs/<page>, clips to
// BUILD/bin/audio. Files in those picture folders that the manifest no longer lists are
// removed: the loaders turn every file there into an image set. With --preview, contact sheets
// and mock-ups of the pages are written to DIR for judging the art.
#include "tools/resgen/art.h"
#include "tools/resgen/clips.h"
#include "tools/resgen/manifest.h"
#include "tools/resgen/png.h"
#include "tools/resgen/preview.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Options
{
    std::string source;
    std::string out;
    std::string preview;
    std::string stamp;
};

Options ParseArguments(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw std::runtime_error(arg + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--source") {
            o.source = value();
        } else if (arg == "--out") {
            o.out = value();
        } else if (arg == "--preview") {
            o.preview = value();
        } else if (arg == "--stamp") {
            o.stamp = value();
        } else {
            throw std::runtime_error("unknown argument " + arg);
        }
    }
    if (o.source.empty() || o.out.empty()) {
        throw std::runtime_error("usage: resgen --source REPO --out BUILD [--preview DIR] [--stamp FILE]");
    }
    return o;
}

void SaveBytes(const std::vector<uint8_t>& bytes, const fs::path& path)
{
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// Removes what an earlier run left in a folder this run owns.
void RemoveStale(const fs::path& folder, const std::set<fs::path>& written, bool recurse)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        return;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.is_directory()) {
            if (recurse) {
                RemoveStale(entry.path(), written, false);
                if (fs::is_empty(entry.path())) {
                    fs::remove(entry.path());
                }
            }
        } else if (written.count(entry.path()) == 0) {
            fs::remove(entry.path());
        }
    }
}

int Run(const Options& o)
{
    const resgen::CManifest manifest =
        resgen::CManifest::Load((fs::path(o.source) / "tools/resgen/manifest.txt").string());
    if (manifest.GetFonts().empty()) {
        throw std::runtime_error("the manifest names no font to draw labels with");
    }
    resgen::CText text((fs::path(o.source) / "resources/fonts" / manifest.GetFonts().front()).string());

    const fs::path resources = fs::path(o.out) / "Resources";
    const fs::path audio = fs::path(o.out) / "bin/audio";
    std::set<fs::path> written;
    std::map<std::string, resgen::CCanvas> drawn;  // "folder/name" -> picture, for previews

    for (const resgen::CManifest::Picture& p : manifest.GetPictures()) {
        resgen::CCanvas canvas = p.folder == "skin" ? resgen::DrawSkinPicture(p, text)
                                                    : resgen::DrawGlyph(p, text);
        if (canvas.GetWidth() != p.width || canvas.GetHeight() != p.height) {
            throw std::runtime_error("drawn at the wrong size: " + p.name);
        }
        const fs::path path = resources / p.folder / (p.name + ".png");
        resgen::SavePng(canvas, path.string());
        written.insert(path);
        drawn.emplace(p.folder + "/" + p.name, std::move(canvas));
    }
    for (const resgen::CManifest::Button& b : manifest.GetButtons()) {
        for (int state = 0; state < 4; ++state) {
            const bool on = state >= 2, down = state % 2 == 1;
            resgen::CCanvas canvas = resgen::DrawButton(b, on, down, text);
            const std::string name = b.name + resgen::CManifest::kButtonStates[state];
            const fs::path path = resources / "skin" / (name + ".png");
            resgen::SavePng(canvas, path.string());
            written.insert(path);
            drawn.emplace("skin/" + name, std::move(canvas));
        }
    }
    for (const resgen::CManifest::Picture& p : manifest.AllPictures()) {
        if (p.folder != "glyphs/language") {
            continue;
        }
        resgen::CCanvas canvas = resgen::DrawGlyph(p, text);
        const fs::path path = resources / p.folder / (p.name + ".png");
        resgen::SavePng(canvas, path.string());
        written.insert(path);
        drawn.emplace(p.folder + "/" + p.name, std::move(canvas));
    }
    for (const std::string& clip : manifest.GetClips()) {
        const fs::path path = audio / (clip + ".wav");
        SaveBytes(resgen::EncodeWav(resgen::SynthesiseClip(clip)), path);
        written.insert(path);
    }
    RemoveStale(resources / "skin", written, true);
    RemoveStale(resources / "glyphs", written, true);

    if (!o.preview.empty()) {
        resgen::WritePreviews(manifest, drawn, text, o.preview);
    }
    if (!o.stamp.empty()) {
        SaveBytes(std::vector<uint8_t>{'o', 'k', '\n'}, o.stamp);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const Options options = ParseArguments(argc, argv);
        if (TTF_Init() != 0) {
            throw std::runtime_error(std::string("TTF_Init: ") + TTF_GetError());
        }
        const int result = Run(options);
        TTF_Quit();
        SDL_Quit();
        return result;
    } catch (const std::exception& e) {
        std::cerr << "resgen: " << e.what() << "\n";
        return 1;
    }
}
