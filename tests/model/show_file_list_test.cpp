#include "model/show_file_list.h"

#include "bench/full_show.h"
#include "foundation/file_helpers.h"
#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "foundation/version.h"
#include "foundation/xml_file.h"
#include "model/show_file.h"
#include "model/show_header_cache.h"
#include "shell/app.h"
#include "shell/logger.h"
#include "tests/model/playback_test_support.h"
#include "tests/model/show_test_support.h"
#include "tests/support/memory_use.h"
#include "tests/support/test_folder.h"
#include "tests/support/utf16_text.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

using namespace showtest;

namespace
{
const char* const kMainProductShow = "<show application=\"lumivo\"/>";
const char* const kOwnShow = "<show application=\"Tanzo\"/>";

class ShowFileListTest : public ::testing::Test
{
protected:
    void SetUp() override { folder = FreshTestFolder().string(); }

    std::string Path(const std::string& name) const { return folder + "/" + name; }

    // The manager of the folder, listed, with the observer attached afterwards.
    std::unique_ptr<CFileManager> List()
    {
        auto files = std::make_unique<CFileManager>(folder);
        files->SetCore(nullptr);
        EXPECT_TRUE(files->FinishListing());
        observer.Observe(files.get());
        return files;
    }
    // Lists the folder again, and waits until every row is made.
    static void Relist(CFileManager& files)
    {
        files.Refresh();
        EXPECT_TRUE(files.FinishListing());
    }

    static std::string Names(const CFileManager& files)
    {
        std::string names;
        for (uint32_t i = 0; i < files.GetCount(); ++i)
            names += (i ? " " : "") + files.GetFile(i)->GetName();
        return names;
    }

    std::string folder;
    CCodeRecorder observer;
};

// The bytes this process has read from files so far.
size_t BytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string name;
    size_t value = 0;
    while (io >> name >> value)
        if (name == "rchar:")
            return value;
    return 0;
}

// What reading the count itself reads.
constexpr size_t kCountingReads = 1024;

// A show behind a comment of the given bytes.
std::string BehindComment(size_t bytes, const std::string& show)
{
    return "<?xml version=\"1.0\"?>\n<!--" + std::string(bytes, 'x') + "-->\n" + show;
}
}  // namespace

TEST_F(ShowFileListTest, ListsShowsAndMainProductXmlFilesByName)
{
    WriteText(Path("b.show"), kOwnShow);
    WriteText(Path("a.xml"), kMainProductShow);
    WriteText(Path("c.xml"), kOwnShow);
    WriteText(Path("X.SHOW"), "not even XML");
    WriteText(Path("broken.xml"), "<show application=\"Lumivo\"");
    WriteText(Path("notes.txt"), kOwnShow);
    boost::filesystem::create_directory(Path("folder.show"));
    boost::filesystem::create_directory(Path("folder.xml"));
    // Read as a file, a pipe would wait for a writer for ever.
    ASSERT_EQ(mkfifo(Path("pipe.show").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(Path("pipe.xml").c_str(), 0600), 0);

    auto files = List();
    // Byte order: capitals before small letters.
    EXPECT_EQ(Names(*files), "X a b");
    EXPECT_EQ(files->GetFile(1)->GetPath(), Path("a.xml"));
    EXPECT_TRUE(files->GetFile(1)->IsReadOnly());
    EXPECT_FALSE(files->GetFile(2)->IsReadOnly());
    EXPECT_EQ(files->GetFile(3), nullptr);
    EXPECT_EQ(files->IndexOf(files->GetFile(2)), 2);
    EXPECT_EQ(files->GetFile(2)->GetIndex(), 2);
    EXPECT_EQ(files->IndexOf(nullptr), -1);

    EXPECT_EQ(files->FindFile("b"), files->GetFile(2));
    EXPECT_EQ(files->FindFile("B"), nullptr);
    EXPECT_EQ(files->FindFile("c"), nullptr);

    EXPECT_TRUE(CFileManager::IsShowFile(Path("a.xml")));
    EXPECT_FALSE(CFileManager::IsShowFile(Path("c.xml")));
    EXPECT_FALSE(CFileManager::IsShowFile(Path("broken.xml")));
    EXPECT_FALSE(CFileManager::IsShowFile(Path("folder.xml")));
    EXPECT_FALSE(CFileManager::IsShowFile(Path("pipe.xml")));
    EXPECT_FALSE(CFileManager::IsShowFile(Path("none.xml")));
    EXPECT_FALSE(CFileManager::IsShowFile(folder + "/.."));

    // A prefix comes first. The list is emptied at once and filled as the shows are read.
    WriteText(Path("ab.show"), kOwnShow);
    Relist(*files);
    EXPECT_EQ(Names(*files), "X a ab b");
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{NOTIFY_LIST, NOTIFY_LIST}));
}

TEST_F(ShowFileListTest, StartRemovesOnlyWhatItsOwnSavesCutShortLeft)
{
    // A process id that no process has any more.
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child);
    const std::string self = std::to_string(getpid());
    const struct
    {
        std::string name;
        bool removed;
    } rows[] = {
        {".b.show.tanzo-partial-" + dead + "-Q1w2E3", true},
        {".options.xml.tanzo-partial-" + dead + "-Ab12Cd", true},
        // A save still at work: its process lives, or someone holds its lock (below).
        {".c.show.tanzo-partial-" + self + "-Q1w2E3", false},
        {".d.show.tanzo-partial-" + dead + "-Q1w2E3", false},
        // The user's hidden files, and what earlier builds left, which nothing tells apart from them.
        {".gala.show.backup", false},
        {".notes.xml.2024v2", false},
        {".b.show.partial-Q1w2E3", false},
        {"options.xml.tmp", false},
        {".b.show.tanzo-partial-0" + dead + "-Q1w2E3", false},
        {".b.show.tanzo-partial-" + dead + "-Q1w2E", false},
        {"b.show.tanzo-partial-" + dead + "-Q1w2E3", false},
    };
    // A save through a link writes beside the file the link leads to, however many links on, or
    // where a link to nothing would make it: those folders are swept as well, and no other.
    for (const char* inside : {"shared", "far", "elsewhere", "unlinked"})
        boost::filesystem::create_directory(Path(inside));
    WriteText(Path("shared/gala.show"), kOwnShow);
    ASSERT_EQ(symlink("shared/gala.show", Path("gala.show").c_str()), 0);
    ASSERT_EQ(symlink("far/gone.show", Path("hop").c_str()), 0);
    ASSERT_EQ(symlink("hop", Path("chain.show").c_str()), 0);
    ASSERT_EQ(symlink("elsewhere", Path("folder.show").c_str()), 0);
    const struct
    {
        std::string name;
        bool removed;
    } linked[] = {
        {"shared/.gala.show.tanzo-partial-" + dead + "-Q1w2E3", true},
        {"shared/.other.show.tanzo-partial-" + dead + "-Q1w2E3", true},
        {"far/.gone.show.tanzo-partial-" + dead + "-Q1w2E3", true},
        // Another instance still saving there, by its process or by its lock.
        {"shared/.gala.show.tanzo-partial-" + self + "-Ab12Cd", false},
        {"shared/.gala.show.tanzo-partial-" + dead + "-Ab12Cd", false},
        {"shared/.gala.show.backup", false},
        {"elsewhere/.x.show.tanzo-partial-" + dead + "-Q1w2E3", false},
        {"unlinked/.x.show.tanzo-partial-" + dead + "-Q1w2E3", false},
    };
    for (const auto& row : rows)
        WriteText(Path(row.name), "<show application=\"Tan");
    for (const auto& row : linked)
        WriteText(Path(row.name), "<show application=\"Tan");
    const int held = open(Path(rows[3].name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    const int heldThere = open(Path(linked[4].name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(heldThere, LOCK_EX), 0);

    auto files = List();
    close(held);
    close(heldThere);
    for (const auto& row : rows)
        EXPECT_EQ(boost::filesystem::exists(Path(row.name)), !row.removed) << row.name;
    for (const auto& row : linked)
        EXPECT_EQ(boost::filesystem::exists(Path(row.name)), !row.removed) << row.name;
    EXPECT_EQ(Names(*files), "gala");

    // A start tries at most 64 leftovers, the rest at the next; and it sweeps at most 16 of the
    // folders links lead to.
    std::vector<std::string> leftovers = {Path(rows[3].name), Path(linked[4].name)};
    for (int i = 0; i < 100; ++i)
        leftovers.push_back(Path(".n" + std::to_string(i) + ".show.tanzo-partial-" + dead + "-Q1w2E3"));
    for (const std::string& path : leftovers)
        WriteText(path, "<show application=\"Tan");
    const auto remaining = [&]() {
        return size_t(std::count_if(leftovers.begin(), leftovers.end(),
                                    [](const std::string& path) { return boost::filesystem::exists(path); }));
    };
    List();
    EXPECT_EQ(remaining(), leftovers.size() - 64);
    List();
    EXPECT_EQ(remaining(), 0u);
    for (const char* link : {"gala.show", "hop", "chain.show", "folder.show"})
        std::remove(Path(link).c_str());
    leftovers.clear();
    for (int i = 0; i < 17; ++i)
    {
        const std::string inside = "linked" + std::to_string(i);
        boost::filesystem::create_directory(Path(inside));
        WriteText(Path(inside + "/x.show"), kOwnShow);
        ASSERT_EQ(symlink((inside + "/x.show").c_str(), Path(inside + ".show").c_str()), 0);
        leftovers.push_back(Path(inside + "/.x.show.tanzo-partial-" + dead + "-Q1w2E3"));
        WriteText(leftovers.back(), "<show application=\"Tan");
    }
    List();
    EXPECT_EQ(remaining(), 1u);
}

TEST_F(ShowFileListTest, AFolderCostsTheListItsFirstShowsAndAFewLogLines)
{
    char name[] = "tests_model";
    char* argv[] = {name, nullptr};
    CApp app(CVersion(1, 7, 0), 1, argv);
    const size_t most = CFileManager::kMostShowFiles;
    const std::string past = std::to_string(most) + " \".show\" and as many \".xml\" files";
    const std::string onePast = "Not read: 1 of the " + std::to_string(most + 1) + " files in \"%s\", past " + past;
    const std::string far = BehindComment(5 << 20, kOwnShow);
    // Genuine shows however long or slowly decoded: every one is listed as it reads, whatever the
    // others cost.
    const std::string latin = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<!--" + std::string(1000000, '\xE9') +
                              "-->\n" + kOwnShow;
    const std::string wide = Utf16("<?xml version=\"1.0\"?>\n<!--" + std::string(200000, 'x') + "-->\n" + kOwnShow);
    const struct
    {
        const char* what;
        const char* extension;
        const char* content;  // none for a pipe
        size_t files;
        size_t listed;
        // The last line the listing logs about the folder ("%s" for it, "%n" for any count), and
        // how many it logs.
        std::string logged;
        size_t lines;
        bool linked = false;  // each file a link to the first
        // What a file costs the list at most beyond a first glance at its start (else the bytes of
        // the content twice: its start, and its whole once more).
        size_t mostReadEach = 0;
    } rows[] = {
        {"one show past the count", ".show", kOwnShow, most + 1, most, onePast, 1},
        {"one XML show past the count", ".xml", kMainProductShow, most + 1, most, onePast, 1},
        {"5,000 small shows", ".show", kOwnShow, 5000, 5000, "", 0},
        {"a hundred pipes named as shows", ".show", nullptr, 100, 0,
         "Not listed: 92 more entries of \"%s\" that are not regular files", 9},
        // Read as far as the reader reads, once.
        {"a hundred shows behind 5 MB", ".show", far.c_str(), 100, 100, "", 0, true, far.size()},
        {"forty shows behind Windows-1252", ".show", latin.c_str(), 40, 40, "", 0, true},
        {"64 shows behind UTF-16", ".show", wide.c_str(), 64, 64, "", 0, true},
    };
    for (const auto& row : rows)
    {
        const std::string shows = Path(row.what);
        boost::filesystem::create_directory(shows);
        for (size_t i = 0; i < row.files; ++i)
        {
            const std::string path = shows + "/s" + std::to_string(10000 + i) + row.extension;
            if (row.linked && i > 0)
                ASSERT_EQ(link((shows + "/s10000" + row.extension).c_str(), path.c_str()), 0);
            else if (row.content)
                WriteText(path, row.content == wide.c_str() ? wide : std::string(row.content));  // UTF-16 holds NULs
            else
                ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        }
        const size_t before = CApp::GetLogger()->GetLines().size();
        const size_t start = BytesRead();
        CFileManager files(shows);
        files.SetCore(nullptr);
        EXPECT_TRUE(files.FinishListing()) << row.what;
        const size_t size = row.content == wide.c_str() ? wide.size() : row.content ? std::strlen(row.content) : 0;
        const size_t glance = 2 * 65536;
        EXPECT_LE(BytesRead() - start,
                  row.files * (glance + (row.mostReadEach ? row.mostReadEach : 2 * size)) + kCountingReads)
            << row.what;
        EXPECT_EQ(files.GetCount(), row.listed) << row.what;
        EXPECT_EQ(files.FindFile("s" + std::to_string(10000 + most)), nullptr) << row.what;
        const std::vector<std::string> lines = CApp::GetLogger()->GetLines();
        std::string logged = row.logged;
        if (logged.find("%s") != std::string::npos)
            logged.replace(logged.find("%s"), 2, shows);
        const size_t count = logged.find("%n");
        const std::string last = lines.empty() ? "" : lines.back();
        EXPECT_EQ(lines.size() - before, row.lines) << row.what;
        if (row.lines > 0)
        {
            EXPECT_NE(count == std::string::npos ? last.find(logged)
                                                 : last.find(logged.substr(count + 2), last.find(logged.substr(0, count))),
                      std::string::npos)
                << row.what << ": " << last;
        }
        // A show made with NEW stays listed at later listings, whatever the folder holds; so does a
        // show saved here that other files have since pushed past the bound.
        CFile* made = files.CreateShowFile();
        ASSERT_NE(made, nullptr) << row.what;
        const std::string name = made->GetName();
        const std::string lastName = "s" + std::to_string(10000 + most - 1);
        CFile* pushed = files.FindFile(lastName);
        const bool saved = row.listed == most && !pushed->IsReadOnly();
        if (saved)
        {
            ASSERT_TRUE(pushed->Save(true)) << row.what;
            WriteText(shows + "/a.show", kOwnShow);
        }
        files.Refresh();
        EXPECT_TRUE(files.FinishListing()) << row.what;
        EXPECT_NE(files.FindFile(name), nullptr) << row.what;
        EXPECT_TRUE(!saved || files.FindFile(lastName)) << row.what;
    }
}

TEST_F(ShowFileListTest, RefreshTellsOfEveryChangeOfTheList)
{
    auto files = List();
    Relist(*files);
    EXPECT_TRUE(observer.codes.empty());

    // Filled, emptied, filled.
    WriteText(Path("show1.show"), kOwnShow);
    Relist(*files);
    Relist(*files);
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{NOTIFY_LIST, NOTIFY_LIST, NOTIFY_LIST}));

    // An open show is closed first: its object is about to go.
    observer.codes.clear();
    files->SetCurrentFile(files->GetFile(0));
    files->SetCurrentFile(files->GetFile(0));
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{NOTIFY_SELECTION});
    observer.codes.clear();
    files->Refresh();
    EXPECT_EQ(files->GetCurrentFile(), nullptr);
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{NOTIFY_SELECTION, NOTIFY_LIST}));

    // No data folder: nothing listed, nothing made.
    CFileManager none("");
    none.SetCore(nullptr);
    EXPECT_TRUE(none.FinishListing());
    EXPECT_EQ(none.GetCount(), 0u);
    EXPECT_EQ(none.CreateShowFile(), nullptr);
    EXPECT_FALSE(none.GetError().empty());
}

TEST_F(ShowFileListTest, TheFolderIsReadWhileTheMainThreadGoesOn)
{
    WriteText(Path("b.show"), kOwnShow);
    WriteText(Path("a.show"), kOwnShow);
    // A reader that holds each show until the test lets it go, ten seconds at most.
    std::mutex mutex;
    std::condition_variable changed;
    bool released = false;
    std::atomic<int> read{0};
    const auto held = [&](const std::string& path, CXmlRootTagReader* reader) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait_for(lock, std::chrono::seconds(10), [&] { return released; });
        }
        ++read;
        return CFile::ReadHeader(path, reader);
    };
    CFileManager files(folder, held);
    files.SetCore(nullptr);
    files.Update();
    EXPECT_EQ(read, 0);
    EXPECT_EQ(files.GetCount(), 0u);
    EXPECT_TRUE(files.IsListing());
    {
        const std::lock_guard<std::mutex> lock(mutex);
        released = true;
    }
    changed.notify_all();
    EXPECT_TRUE(files.FinishListing());
    EXPECT_FALSE(files.IsListing());
    EXPECT_EQ(Names(files), "a b");
    EXPECT_EQ(read, 2);
}

TEST_F(ShowFileListTest, AShowAsTheProgramWritesItIsListedBeforeALongStartIsReadThrough)
{
    WriteText(Path("a.show"), BehindComment(2 << 20, kOwnShow));
    WriteText(Path("b.show"), kOwnShow);
    // The shows whose start was read to the root's tag, in the order read.
    std::vector<std::string> read;
    const auto recorded = [&](const std::string& path, CXmlRootTagReader* reader) {
        CShowHeader header = CFile::ReadStart(path, reader);
        if (header.read.status != XmlReadStatus::kPastGlance)
            read.push_back(path.substr(folder.size() + 1));
        return header;
    };
    CFileManager files(folder, recorded);
    files.SetCore(nullptr);
    EXPECT_TRUE(files.FinishListing());
    EXPECT_EQ(Names(files), "a b");
    EXPECT_EQ(read, (std::vector<std::string>{"b.show", "a.show"}));
}

TEST_F(ShowFileListTest, RowsComeATickAtATimeAndAListingAskedForEndsTheOneUnderWay)
{
    const size_t shows = CFileManager::kMostRowsPerTick + 44;
    for (size_t i = 0; i < shows; ++i)
        WriteText(Path("s" + std::to_string(1000 + i) + ".show"), kOwnShow);
    // A reader that counts the shows read; the first read waits, ten seconds at most, until its
    // own reading of the file is stopped.
    std::atomic<size_t> read{0};
    std::atomic<bool> holding{false};
    std::atomic<bool> held{true};
    bool stopped = false;
    const auto counted = [&](const std::string& path, CXmlRootTagReader* reader) {
        if (held.exchange(false))
        {
            holding = true;
            for (int i = 0; i < 10000 && !stopped; ++i)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                stopped = CFile::ReadHeader(path, reader).read.status == XmlReadStatus::kStopped;
            }
        }
        ++read;
        return CFile::ReadHeader(path, reader);
    };
    // Waits, ten seconds at most, until the reader has read at least that many shows.
    const auto readAtLeast = [&](size_t count) {
        for (int i = 0; i < 10000 && read < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    CFileManager files(folder, counted);
    files.SetCore(nullptr);
    for (int i = 0; i < 10000 && !holding; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // Pressed again while the first show is read: the listing under way reads nothing more.
    files.Refresh();
    EXPECT_TRUE(stopped);
    readAtLeast(shows + 1);
    // Each tick makes its share of the rows, whatever the reader has found.
    files.Update();
    EXPECT_EQ(files.GetCount(), CFileManager::kMostRowsPerTick);
    EXPECT_TRUE(files.FinishListing());
    EXPECT_EQ(files.GetCount(), shows);
    EXPECT_EQ(read, shows + 1);
}

TEST_F(ShowFileListTest, EveryGenuineShowIsListedAsItOpensAndOneTheReaderRefusesReadOnly)
{
    // 22 of the largest shows a user makes, a small show after them and one of the main product;
    // one the reader refuses (UTF-16 left with an odd byte after it) and one it opens
    // behind more white space than the decoder holds while it tells the encoding.
    const std::string large = bench::FullShowXml();
    WriteText(Path("large00.show"), large);
    for (int i = 1; i < 22; ++i)
    {
        const std::string name = "large" + std::to_string(100 + i).substr(1) + ".show";
        ASSERT_EQ(::link(Path("large00.show").c_str(), Path(name).c_str()), 0);
    }
    WriteText(Path("small.show"), kOwnShow);
    WriteText(Path("main.xml"), kMainProductShow);
    const std::string broken = Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<show application=\"Tanzo\">" +
                                     std::string(10000, ' ') + "</show>\n") +
                               std::string(1, '\0');
    WriteText(Path("broken.show"), broken);
    WriteText(Path("spaced.show"), std::string(2 << 20, ' ') + kOwnShow);
    TiXmlDocument document;
    ASSERT_EQ(ReadXmlFile(Path("broken.show"), CFile::kMaxBytes, document).status, XmlReadStatus::kUndecodable);
    ASSERT_TRUE(ReadXmlFile(Path("spaced.show"), CFile::kMaxBytes, document).IsRead());

    auto files = List();
    ASSERT_EQ(files->GetCount(), 26u) << Names(*files);
    for (uint32_t i = 0; i < files->GetCount(); ++i)
    {
        const CFile* file = files->GetFile(i);
        EXPECT_EQ(file->IsReadOnly(), file->GetName() == "main" || file->GetName() == "broken") << file->GetName();
    }
    EXPECT_TRUE(files->FindFile("small")->Save(true));
    EXPECT_TRUE(files->FindFile("large21")->Save(true));
    EXPECT_TRUE(files->FindFile("spaced")->Save(true));
    EXPECT_FALSE(files->FindFile("broken")->Save(true));
    EXPECT_TRUE(ReadText(Path("broken.show")) == broken);
}

TEST_F(ShowFileListTest, NewShowsTakeTheFirstFreeNameAndNeverOverwrite)
{
    auto files = List();
    EXPECT_EQ(files->NewShowName(), "show1");
    WriteText(Path("show1.show"), kOwnShow);
    WriteText(Path("show3.show"), kOwnShow);
    Relist(*files);
    EXPECT_EQ(files->NewShowName(), "show2");

    // A show written since the listing is not written over.
    WriteText(Path("show2.show"), "someone else's show");
    EXPECT_EQ(files->NewShowName(), "show4");

    observer.codes.clear();
    CFile* created = files->CreateShowFile();
    ASSERT_NE(created, nullptr) << files->GetError();
    EXPECT_EQ(created->GetPath(), Path("show4.show"));
    EXPECT_EQ(files->GetFile(files->GetCount() - 1), created);
    EXPECT_EQ(files->GetCurrentFile(), nullptr);
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{NOTIFY_LIST});
    EXPECT_EQ(ShowPart(Path("show4.show"), "fixtures"), "/fixtures\n");
    EXPECT_EQ(ShowPart(Path("show4.show"), "playbacks"), "/playbacks\n");
    EXPECT_EQ(ReadText(Path("show2.show")), "someone else's show");

    // A folder that cannot take the file: nothing is listed.
    observer.codes.clear();
    boost::filesystem::remove_all(folder);
    EXPECT_EQ(files->CreateShowFile(), nullptr);
    EXPECT_NE(files->GetError().find("could not be saved"), std::string::npos) << files->GetError();
    EXPECT_EQ(files->GetCount(), 3u);
    EXPECT_TRUE(observer.codes.empty());
}

TEST_F(ShowFileListTest, RemovingDeletesFromDiskAndList)
{
    WriteText(Path("a.show"), kOwnShow);
    WriteText(Path("b.show"), kOwnShow);
    WriteText(Path("c.show"), kOwnShow);
    WriteText(Path("main.xml"), kMainProductShow);
    WriteText(Path("marked.show"), "<show application=\"Tanzo\" readonly=\"true\"/>");
    WriteText(Path("mode.show"), kOwnShow);
    ASSERT_EQ(::chmod(Path("mode.show").c_str(), 0444), 0);
    auto files = List();
    ASSERT_EQ(Names(*files), "a b c main marked mode");

    files->SetCurrentFile(files->FindFile("b"));
    observer.codes.clear();
    EXPECT_TRUE(files->RemoveFile(files->FindFile("b")));
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{NOTIFY_SELECTION, NOTIFY_LIST}));
    EXPECT_EQ(files->GetCurrentFile(), nullptr);
    EXPECT_FALSE(boost::filesystem::exists(Path("b.show")));
    EXPECT_EQ(Names(*files), "a c main marked mode");

    // Read-only shows are never removed.
    observer.codes.clear();
    EXPECT_FALSE(files->RemoveFile(files->FindFile("main")));
    EXPECT_FALSE(files->RemoveFile(files->FindFile("marked")));
    EXPECT_FALSE(files->RemoveFile(files->FindFile("mode")));
    EXPECT_FALSE(files->RemoveFile(nullptr));
    EXPECT_TRUE(observer.codes.empty());
    for (const char* name : {"main.xml", "marked.show", "mode.show"})
        EXPECT_TRUE(boost::filesystem::exists(Path(name))) << name;

    // A show already gone from disk still leaves the list.
    std::remove(Path("a.show").c_str());
    EXPECT_TRUE(files->RemoveFile(files->FindFile("a")));
    EXPECT_EQ(Names(*files), "c main marked mode");
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{NOTIFY_LIST});

    // Something the file system will not delete stays listed.
    CFile* c = files->FindFile("c");
    std::remove(Path("c.show").c_str());
    boost::filesystem::create_directory(Path("c.show"));
    WriteText(Path("c.show/inside"), "");
    EXPECT_FALSE(files->RemoveFile(c));
    EXPECT_NE(files->GetError().find("could not be deleted"), std::string::npos) << files->GetError();
    EXPECT_EQ(Names(*files), "c main marked mode");

    // A show that has become read-only on disk since it was listed stays, and says why.
    WriteText(Path("d.show"), kOwnShow);
    Relist(*files);
    WriteText(Path("d.show"), Utf16("<show readonly=\"true\"/>"));
    EXPECT_FALSE(files->RemoveFile(files->FindFile("d")));
    EXPECT_EQ(files->GetError(), "The show \"d\" is read-only and cannot be deleted.");
    EXPECT_EQ(Names(*files), "d main marked mode");
    EXPECT_TRUE(boost::filesystem::exists(Path("d.show")));
}

TEST_F(ShowFileListTest, ObserversFollowAsManyFilesAsTheirSetHolds)
{
    WriteText(Path("a.show"), kOwnShow);
    WriteText(Path("b.show"), kOwnShow);
    WriteText(Path("c.show"), kOwnShow);
    auto files = List();
    CCodeRecorder rows;
    CSubjectSet set(2);
    files->AttachFiles(&rows, &set);
    EXPECT_TRUE(set.Contains(files->GetFile(0)));
    EXPECT_TRUE(set.Contains(files->GetFile(1)));
    EXPECT_FALSE(set.Contains(files->GetFile(2)));
    files->GetFile(1)->Refresh();
    files->GetFile(2)->Refresh();
    EXPECT_EQ(rows.codes, std::vector<uint32_t>{NOTIFY_UNKNOWN});
    files->AttachFiles(&rows, nullptr);
    Relist(*files);
    files->AttachFiles(&rows, &set);
    EXPECT_EQ(set.GetCount(), 2u);
}

TEST_F(ShowFileListTest, AShowIsListedAsTheReaderReadsItWhereverItsRootStandsAndSavedOnlyIfItOpens)
{
    std::string notes;  // in Shift_JIS
    for (int i = 0; i < 150000; ++i)
        notes += "\x82\xa0";
    // In EUC-JP, one byte near the end that is no character of it; large enough that its start
    // alone is read first, whatever its root is called.
    const auto damaged = [](const std::string& root) {
        std::string text = "<?xml version=\"1.0\" encoding=\"EUC-JP\"?>\n<" + root + " application=\"Tanzo\"><!--";
        while (text.size() < 100000)
            text += "\xa4\xa2";
        return text + "\xff--></" + root + ">\n";
    };
    std::string deep = "<show application=\"Tanzo\">";
    for (size_t i = 0; i < kXmlMaxDepth; ++i)
        deep += "<a>";
    const struct
    {
        const char* name;
        std::string content;
        bool readOnly;
    } rows[] = {
        {"long.show", BehindComment(3 << 20, "<show application=\"Tanzo\"><fixtures/></show>"), false},
        {"far.show", BehindComment(5 << 20, kOwnShow), false},
        {"main.xml", BehindComment(5 << 20, kMainProductShow), true},
        {"spaced.show", std::string(4 << 20, ' ') + kOwnShow, false},
        {"wide.show", Utf16(std::string(1 << 20, ' ') + kOwnShow), false},
        {"notes.show", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<!--" + notes + "-->\n" + kOwnShow, false},
        {"wide notes.show", Utf16("<?xml version=\"1.0\"?>\n<!--" + std::string(300000, 'x') + "-->\n" + kOwnShow), false},
        // In TSCII 0x82 is 12 bytes of text: past the 32 MB a show may have.
        {"expanding.show", "<?xml version=\"1.0\" encoding=\"TSCII\"?>\n<!--" + std::string(3 << 20, '\x82') + "-->" + kOwnShow,
         true},
        {"capital.show", damaged("Show"), true},
        {"other.show", damaged("programme"), true},
        {"deep.show", deep, true},
        // The text ends at the first NUL, whatever follows it: here an odd byte.
        {"zeros.show", Utf16(std::string("<?xml version=\"1.0\"?>") + kOwnShow) + std::string(3, '\0'), false},
        {"plain.show", kOwnShow, false},
    };
    size_t bytes = 0;
    for (const auto& row : rows)
    {
        WriteText(Path(row.name), row.content);
        bytes += row.content.size();
        TiXmlDocument document;
        const bool refused = CFile::Refuses(ReadXmlFile(Path(row.name), CFile::kMaxBytes, document));
        ASSERT_EQ(refused, row.readOnly && std::string(row.name) != "main.xml") << row.name;
    }
    const size_t start = BytesRead();
    auto files = List();
    // Each show once, and a first glance at a large one.
    EXPECT_LE(BytesRead() - start, bytes + std::size(rows) * 2 * 65536 + kCountingReads);
    EXPECT_EQ(files->GetCount(), std::size(rows));
    for (const auto& row : rows)
    {
        CFile* file = files->FindFile(RemoveExtension(row.name));
        ASSERT_NE(file, nullptr) << row.name;
        EXPECT_EQ(file->IsReadOnly(), row.readOnly) << row.name;
        EXPECT_EQ(file->Save(true), !row.readOnly) << row.name;
        EXPECT_EQ(ReadText(Path(row.name)) == row.content, row.readOnly) << row.name;
    }
}

TEST_F(ShowFileListTest, AShowCostsTheListOnlyItsFlagsWhateverItsStart)
{
    const auto repeat = [](const std::string& unit, size_t times) {
        std::string text;
        text.reserve(unit.size() * times);
        for (size_t i = 0; i < times; ++i)
            text += unit;
        return text;
    };
    std::string attributes = "<show readonly=\"true\"";
    for (int i = 0; i < 63; ++i)
        attributes += " a" + std::to_string(i) + "=\"" + std::string(16000, 'x') + "\"";
    // Each within every bound of the list; the root's start tag follows.
    const struct
    {
        const char* what;
        std::string start;
        bool readOnly;
    } rows[] = {
        {"199,990 empty comments", repeat("<!---->", 199990) + "<show readonly=\"true\"", true},
        {"199,990 processing instructions", repeat("<?a?>", 199990) + "<show readonly=\"true\"", true},
        {"declarations", repeat("<?xml version='1.0'?>", 49990) + "<show readonly=\"true\"", true},
        // The parser takes the type's end for its first '>': the rest is text, and no root follows.
        {"a type declaring entities", "<!DOCTYPE show [" + repeat("<!ENTITY e 'x'>", 200000) + "]><show", true},
        {"a root attribute of 1 MB", "<show label=\"" + std::string(1000000, 'x') + "\" readonly=\"false\"", false},
        {"64 attributes of 16 KB", attributes, true},
    };
    // Enough shows that the small blocks the allocator keeps freed for the thread, which the heap
    // counts as in use (some kilobytes whatever ran before), fall well within the bound.
    constexpr int kShows = 16;
    // The heap the list of a folder of shows of that start holds.
    const auto kept = [&](const std::string& name, const std::string& start, std::unique_ptr<CFileManager>& files) {
        const std::string shows = Path(name);
        boost::filesystem::create_directory(shows);
        for (int i = 0; i < kShows; ++i)
            WriteText(shows + "/show" + std::to_string(i) + ".show", start + "><fixtures/></show>");
        const size_t before = HeapInUse();
        files = std::make_unique<CFileManager>(shows);
        files->SetCore(nullptr);
        EXPECT_TRUE(files->FinishListing());
        return HeapInUse() - std::min(before, HeapInUse());
    };
    std::unique_ptr<CFileManager> plain;
    const size_t plainKept = kept("plain", "<show readonly=\"true\"", plain);
    for (const auto& row : rows)
    {
        std::unique_ptr<CFileManager> files;
        const size_t held = kept(row.what, row.start, files);
        ASSERT_EQ(files->GetCount(), uint32_t(kShows)) << row.what;
        EXPECT_EQ(files->GetFile(0)->IsReadOnly(), row.readOnly) << row.what;
        // A few hundred bytes a show at most beyond a plain show's.
        EXPECT_LE(held, plainKept + kShows * 512) << row.what;
    }
}

TEST_F(ShowFileListTest, AShowHeaderIsKeptUntilItsFileChangesAndNoneIsReadOnceTheListingStops)
{
    const std::string path = Path("a.show");
    WriteText(path, BehindComment(1 << 20, "<show readonly=\"false\"/>"));
    const auto readOnly = [](const CShowHeader& header) {
        return !header.readOnly ? "unknown" : *header.readOnly ? "true" : "false";
    };
    const auto reads = [&](CShowHeaderCache& cache, std::string& flag) {
        const size_t start = BytesRead();
        flag = readOnly(cache.Read(path));
        return BytesRead() - start > kCountingReads;
    };
    // Whatever changes the file next is stamped with a later time than it has now.
    const auto nextTick = [&]() {
        struct stat status = {};
        ::stat(path.c_str(), &status);
        struct timespec now = {};
        do
            ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
        while (now.tv_sec < status.st_ctim.tv_sec ||
               (now.tv_sec == status.st_ctim.tv_sec && now.tv_nsec <= status.st_ctim.tv_nsec));
    };
    std::string flag;
    CShowHeaderCache cache(std::chrono::nanoseconds(0));
    EXPECT_TRUE(reads(cache, flag));
    EXPECT_EQ(flag, "false");
    EXPECT_FALSE(reads(cache, flag));
    EXPECT_EQ(flag, "false");

    // Written over in place with as many bytes, its time of writing put back.
    struct stat status = {};
    ::stat(path.c_str(), &status);
    nextTick();
    WriteText(path, BehindComment(1 << 20, "<show readonly=\"true\" />"));
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_TRUE(reads(cache, flag));
    EXPECT_EQ(flag, "true");
    // Replaced by another file.
    nextTick();
    WriteText(path + ".new", BehindComment(1 << 20, "<show readonly=\"FALSE\"/>"));
    ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
    EXPECT_TRUE(reads(cache, flag));
    EXPECT_EQ(flag, "false");
    EXPECT_FALSE(reads(cache, flag));
    // Forgotten once a listing has not read it.
    cache.BeginListing();
    cache.EndListing();
    EXPECT_TRUE(reads(cache, flag));

    // A file changed within the time a change may take to show in its times is read again
    // outside the listing that read it.
    CShowHeaderCache settling;
    settling.BeginListing();
    EXPECT_TRUE(reads(settling, flag));
    EXPECT_FALSE(reads(settling, flag));
    settling.EndListing();
    EXPECT_TRUE(reads(settling, flag));
    settling.BeginListing();
    EXPECT_TRUE(reads(settling, flag));

    // Once the listing's stop is set, neither a read nor a whole check goes on, and neither is kept.
    std::atomic<bool> stop{true};
    CShowHeaderCache stopped(std::chrono::nanoseconds(0));
    stopped.BeginListing(&stop);
    EXPECT_EQ(stopped.Read(path).read.status, XmlReadStatus::kStopped);
    CFileStamp stamp;
    EXPECT_EQ(stopped.Check(path, stamp).status, XmlReadStatus::kStopped);
    stop = false;
    EXPECT_TRUE(reads(stopped, flag));
    EXPECT_TRUE(stopped.Check(path, stamp).IsRead());
}
