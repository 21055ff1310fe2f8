#include "tests/fuzz/reader_targets.h"

#include "foundation/ascii.h"
#include "foundation/utf8.h"
#include "foundation/version.h"
#include "foundation/xml_file.h"
#include "graphics/explanation_manager.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/version_file.h"
#include "link/discovery.h"
#include "model/core.h"
#include "model/personality_manager.h"
#include "model/show_file.h"
#include "model/show_file_list.h"
#include "shell/options.h"
#include "tests/support/silent_network.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

// Where the targets put their files: one folder for the process, removed at its end.
const fs::path& Folder()
{
    struct CFolder
    {
        fs::path path = fs::temp_directory_path() / ("tanzo-fuzz-" + std::to_string(::getpid()));
        CFolder() { fs::create_directories(path / "Languages" / "User"); }
        ~CFolder() { std::error_code error; fs::remove_all(path, error); }
    };
    static const CFolder folder;
    return folder.path;
}

std::string Write(const fs::path& relative, const uint8_t* data, size_t size)
{
    const fs::path path = Folder() / relative;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path.string();
}

void Require(bool holds, const char* what)
{
    if (!holds)
    {
        std::fprintf(stderr, "guarantee broken: %s\n", what);
        std::abort();
    }
}

// How deep the parsed elements nest, walked without recursion.
size_t Depth(const TiXmlNode& root)
{
    size_t deepest = 0;
    std::vector<std::pair<const TiXmlNode*, size_t>> open = {{&root, 0}};
    while (!open.empty())
    {
        const auto [node, depth] = open.back();
        open.pop_back();
        deepest = std::max(deepest, depth);
        for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling())
            open.push_back({child, depth + (child->ToElement() ? 1 : 0)});
    }
    return deepest;
}

// Whether every text and attribute value of the document is valid UTF-8, walked without recursion.
bool AllUtf8(const TiXmlNode& root)
{
    std::vector<const TiXmlNode*> open = {&root};
    while (!open.empty())
    {
        const TiXmlNode* node = open.back();
        open.pop_back();
        if (node->ToText() && !IsValidUtf8(node->ValueStr()))
            return false;
        if (const TiXmlElement* element = node->ToElement())
            for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next())
                if (!IsValidUtf8(a->ValueStr()))
                    return false;
        for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling())
            open.push_back(child);
    }
    return true;
}

// The guarded entry itself: whatever it hands the parser never nests deeper than allowed, and
// whatever it reads is UTF-8, whichever encoding the bytes claim.
void ReadXml(const uint8_t* data, size_t size)
{
    TiXmlDocument document;
    const CXmlRead read =
        ReadXmlText(std::string(reinterpret_cast<const char*>(data), size), document, CFile::kMaxBytes);
    if (read.status != XmlReadStatus::kRefused)
        Require(Depth(document) <= kXmlMaxDepth, "the parser went deeper than the limit");
    if (read.IsRead())
        Require(AllUtf8(document), "a text or value read is not UTF-8");
}

// A show opened by the user: the fixtures and playbacks it holds are sent to a model root whose
// link goes nowhere.
void ReadShow(const uint8_t* data, size_t size)
{
    static CSilentNetwork network;
    static const std::unique_ptr<CCore> core = [] {
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = (Folder() / "core").string();
        setup.showFolder = (Folder() / "core").string();
        fs::create_directories(Folder() / "core");
        return CCore::Create(0, nullptr, setup);
    }();
    CFile file(nullptr, core.get(), Write("fuzz.show", data, size));
    file.Load();
    core->Update(0.04f);
}

// Whether two elements have the same name and attributes, in the same order.
bool SameStartTag(const TiXmlElement& a, const TiXmlElement* b)
{
    if (!b || a.ValueStr() != b->ValueStr())
        return false;
    const TiXmlAttribute* x = a.FirstAttribute();
    const TiXmlAttribute* y = b->FirstAttribute();
    for (; x && y; x = x->Next(), y = y->Next())
        if (x->NameTStr() != y->NameTStr() || x->ValueStr() != y->ValueStr())
            return false;
    return !x && !y;
}

// A file of the show folder, as the show list describes it at every start and as SAVE, RENAME and
// REMOVE check it: one verdict with the reader's, however large, however encoded and wherever its
// root stands. The root's start tag the list reads is the one the reader of the whole file finds,
// the same however thin the pieces in which the file comes.
void ReadShowListEntry(const uint8_t* data, size_t size)
{
    const std::string path = Write("fuzz.xml", data, size);
    CFileManager::IsShowFile(path);
    TiXmlDocument whole;
    TiXmlDocument start;
    const CXmlRead read = ReadXmlFile(path, CFile::kMaxBytes, whole);
    const CXmlRead tag = ReadXmlRootTag(path, CFile::kMaxBytes, start);
    const CXmlRead check = CheckXmlFile(path, CFile::kMaxBytes);
    // The check and the reader decode alike, and so give one verdict: the check passes what the
    // reader parses, well-formed or not, and refuses what the reader refuses, for its reason.
    const bool parsed = read.IsRead() || read.status == XmlReadStatus::kMalformed;
    Require(parsed ? check.IsRead() : check.status == read.status && check.reason == read.reason,
            "the list's check and the reader disagree");
    Require(!CFile::Refuses(tag) || CFile::Refuses(read), "the list refused a file the reader reads");
    if (read.IsRead() && whole.RootElement())
        Require(SameStartTag(*whole.RootElement(), start.RootElement()), "the list read another root than the reader");
    // Listed read-only exactly when the reader refuses the file, finds no root in it, or its root
    // says so; SAVE's check says the same.
    const fs::path shows = Folder() / "shows";
    fs::create_directories(shows);
    Write(fs::path("shows") / "fuzz.show", data, size);
    CFileManager files(shows.string());
    files.SetCore(nullptr);
    Require(files.FinishListing() && files.GetCount() == 1, "the show is not listed");
    if (read.IsRead() || CFile::Refuses(read))
    {
        const TiXmlElement* root = read.IsRead() ? whole.RootElement() : nullptr;
        const char* marked = root && root->ValueStr() == "show" ? root->Attribute("readonly") : nullptr;
        const char* application = root && root->ValueStr() == "show" ? root->Attribute("application") : nullptr;
        const bool readOnly = !root || (marked && EqualIgnoringAsciiCase(marked, "true")) ||
                              (application && EqualIgnoringAsciiCase(application, "lumivo"));
        Require(files.GetFile(0)->IsReadOnly() == readOnly, "the list's verdict is not the reader's");
        Require(files.GetFile(0)->CheckWritable() == !readOnly, "SAVE's verdict is not the reader's");
    }
    size_t at = 0;
    TiXmlDocument thin;
    const CXmlRead pieces = ReadXmlRootTag(
        [&](char* buffer, size_t most) {
            const size_t n = std::min({most, size - at, 1 + at % 13});
            if (n > 0)
                std::memcpy(buffer, data + at, n);
            at += n;
            return ssize_t(n);
        },
        CFile::kMaxBytes, thin);
    if (tag.IsRead() && pieces.IsRead())
        Require(start.RootElement() ? SameStartTag(*start.RootElement(), thin.RootElement()) : !thin.RootElement(),
                "thin pieces read another root");
    else
        Require(pieces.status == tag.status || pieces.status == XmlReadStatus::kUndecodable ||
                    tag.status == XmlReadStatus::kUndecodable,
                "thin pieces read otherwise");
}

void ReadOptions(const uint8_t* data, size_t size)
{
    Write("options.xml", data, size);
    COptions options(Folder().string());
    options.Load();
}

void ReadPersonalities(const uint8_t* data, size_t size)
{
    Write("user.personality", data, size);
    CPersonalityManager personalities;
    personalities.Load(Folder().string(), std::string());
}

// A user language file, with the check of phrases the languages lack.
void ReadLanguages(const uint8_t* data, size_t size)
{
    Write(fs::path("Languages") / "User" / "fuzz.xml", data, size);
    CLanguageManagerDesktop languages((Folder() / "resources").string(), Folder().string(), CVersion(1, 7, 0));
}

void ReadHints(const uint8_t* data, size_t size)
{
    fs::create_directories(Folder() / "explanations");
    Write(fs::path("explanations") / "explanations.xml", data, size);
    CExplanationManager hints;
    hints.Load(Folder().string());
}

void ReadVersionFile(const uint8_t* data, size_t size)
{
    Write(CVersionFile::kFileName, data, size);
    CVersionFile(Folder().string()).Read();
}

// A datagram as the link receives it: in a block of its own size, ended by the NUL the link adds.
void ReadDiscoveryAnswer(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> datagram(data, data + size);
    datagram.push_back(0);
    CDiscoveredDevice found;
    if (ParseDiscoveryAnswer(datagram.data(), size, found))
        Require(IsAcceptedDeviceType(found.type), "an answer of a refused type was accepted");
}
}  // namespace

const SReaderTarget kReaderTargets[] = {
    {"xml", ReadXml},
    {"show", ReadShow},
    {"show_list", ReadShowListEntry},
    {"options", ReadOptions},
    {"personalities", ReadPersonalities},
    {"languages", ReadLanguages},
    {"hints", ReadHints},
    {"version_file", ReadVersionFile},
    {"discovery", ReadDiscoveryAnswer},
};
const size_t kReaderTargetCount = sizeof(kReaderTargets) / sizeof(kReaderTargets[0]);

const SReaderTarget* FindReaderTarget(const char* name)
{
    for (const SReaderTarget& target : kReaderTargets)
        if (std::strcmp(target.name, name) == 0)
            return &target;
    return nullptr;
}
