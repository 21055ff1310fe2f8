#include "foundation/xml_file.h"
#include "model/show_file.h"
#include "model/show_file_list.h"

#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <iconv.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace
{
constexpr int kShows = 10;

// A folder of ten shows of just under the 32 MB a show may have: playbacks full of cues, each
// with its four blocks of channel data. One file under ten names, so the disk holds it once.
class CLargeShows
{
public:
    CLargeShows()
    {
        char pattern[] = "/tmp/tanzo-show-list-XXXXXX";
        m_folder = ::mkdtemp(pattern) ? pattern : "";
        const std::string block(1068, 'A');  // 800 bytes in Base64
        std::string cue = "<cue label=\"Look\" fade=\"3s\"><blocks>";
        for (int i = 0; i < 4; ++i)
            cue += "<block>" + block + "</block>";
        cue += "</blocks></cue>";
        std::string show = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                           "<show application=\"Tanzo\" version=\"1.7.0\"><system/><fixtures/><playbacks>";
        for (int playback = 1; show.size() + 200 * cue.size() < CFile::kMaxBytes - 4096; ++playback)
        {
            show += "<playback index=\"" + std::to_string(playback) + "\"><cues>";
            for (int i = 0; i < 200; ++i)
                show += cue;
            show += "</cues></playback>";
        }
        show += "</playbacks></show>\n";
        m_bytes = show.size();
        std::ofstream(Path(0), std::ios::binary) << show;
        for (int i = 1; i < kShows; ++i)
            ::link(Path(0).c_str(), Path(i).c_str());
    }
    ~CLargeShows() { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    std::string Path(int i) const { return m_folder + "/show" + std::to_string(i) + ".show"; }
    const std::string& Folder() const { return m_folder; }
    size_t Bytes() const { return m_bytes; }

private:
    std::string m_folder;
    size_t m_bytes = 0;
};

const CLargeShows& Shows()
{
    static const CLargeShows shows;
    return shows;
}

// What the program's start pays for the list of shows: every show described (name, date, size,
// read-only) from its root's start tag.
void BM_ShowListOfTenLargeShows(benchmark::State& state)
{
    const CLargeShows& shows = Shows();
    for (auto _ : state)
    {
        CFileManager files(shows.Folder());
        files.SetCore(nullptr);
        files.FinishListing();
        benchmark::DoNotOptimize(files.GetCount());
    }
    state.counters["show MB"] = double(shows.Bytes()) / (1024 * 1024);
}
BENCHMARK(BM_ShowListOfTenLargeShows)->Unit(benchmark::kMillisecond);

// A show as the program writes it, behind a comment of the given size in lines of 64 characters
// (none for 0).
std::string ShowBehindComment(size_t bytes)
{
    std::string show = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n";
    if (bytes > 0)
    {
        show += "<!--\n";
        const std::string line = std::string(63, 'x') + "\n";
        while (show.size() + line.size() < bytes)
            show += line;
        show += "-->\n";
    }
    return show + "<show application=\"Tanzo\" version=\"1.7.0\"><system/><fixtures/><playbacks/></show>\n";
}

// A folder of shows, the first long ones each behind a comment of the given size, the others as
// the program writes them. The long ones are one file under many names, so the disk holds it once;
// the folder has settled (no file changed in the last seconds) as a user's has.
class CCommentedShows
{
public:
    CCommentedShows(int shows, int longShows, size_t commentBytes)
    {
        char pattern[] = "/tmp/tanzo-show-list-XXXXXX";
        m_folder = ::mkdtemp(pattern) ? pattern : "";
        std::ofstream(Path(0), std::ios::binary) << ShowBehindComment(longShows > 0 ? commentBytes : 0);
        for (int i = 1; i < shows; ++i)
        {
            if (i < longShows)
                ::link(Path(0).c_str(), Path(i).c_str());
            else
                std::ofstream(Path(i), std::ios::binary) << ShowBehindComment(0);
        }
        std::this_thread::sleep_for(std::chrono::seconds(3));
    }
    ~CCommentedShows() { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    std::string Path(int i) const { return m_folder + "/show" + std::to_string(i) + ".show"; }
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
};

// Ten shows each behind a prolog of 31 MB, longer than the list looks for a root.
const CCommentedShows& LongPrologs()
{
    static const CCommentedShows shows(10, 10, 31 * 1024 * 1024);
    return shows;
}

// 490 shows of which 75 stand behind a comment of 2 MB.
const CCommentedShows& LongComments()
{
    static const CCommentedShows shows(490, 75, 2 * 1024 * 1024);
    return shows;
}

// 500 shows as the program writes them.
const CCommentedShows& PlainShows()
{
    static const CCommentedShows shows(500, 0, 0);
    return shows;
}

// The program's start, over a folder of shows as the program writes them, and over folders of
// shows behind long prologs.
void ListAtStart(benchmark::State& state, const CCommentedShows& shows)
{
    const std::string& folder = shows.Folder();
    for (auto _ : state)
    {
        CFileManager files(folder);
        files.SetCore(nullptr);
        files.FinishListing();
        benchmark::DoNotOptimize(files.GetCount());
    }
}

void BM_ShowListOf500PlainShows(benchmark::State& state)
{
    ListAtStart(state, PlainShows());
}
BENCHMARK(BM_ShowListOf500PlainShows)->Unit(benchmark::kMillisecond);

// More shows than any user keeps, every one of them listed.
const CCommentedShows& ManyPlainShows()
{
    static const CCommentedShows shows(5000, 0, 0);
    return shows;
}

void BM_ShowListOf5000PlainShows(benchmark::State& state)
{
    const CCommentedShows& shows = ManyPlainShows();
    ListAtStart(state, shows);
    state.counters["listed"] = 0;
    CFileManager files(shows.Folder());
    files.SetCore(nullptr);
    files.FinishListing();
    state.counters["listed"] = files.GetCount();
}
BENCHMARK(BM_ShowListOf5000PlainShows)->Unit(benchmark::kMillisecond);

// What a press on the list's empty row holds the main thread for over those 5,000 shows: the
// rows go and the reader is asked again; the reading itself is not timed.
void BM_ShowListPressOver5000Shows(benchmark::State& state)
{
    const CCommentedShows& shows = ManyPlainShows();
    CFileManager files(shows.Folder());
    files.SetCore(nullptr);
    files.FinishListing();
    for (auto _ : state)
    {
        files.Refresh();
        files.Update();
        state.PauseTiming();
        files.FinishListing();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShowListPressOver5000Shows)->Unit(benchmark::kMillisecond);

void BM_ShowListOfTenLongPrologs(benchmark::State& state)
{
    ListAtStart(state, LongPrologs());
}
BENCHMARK(BM_ShowListOfTenLongPrologs)->Unit(benchmark::kMillisecond);

void BM_ShowListOf490With75LongComments(benchmark::State& state)
{
    ListAtStart(state, LongComments());
}
BENCHMARK(BM_ShowListOf490With75LongComments)->Unit(benchmark::kMillisecond);

// The list made again over the same folder, as a press on the settings page's empty row does.
void BM_ShowListOf490With75LongCommentsAgain(benchmark::State& state)
{
    CFileManager files(LongComments().Folder());
    files.SetCore(nullptr);
    files.FinishListing();
    for (auto _ : state)
    {
        files.Refresh();
        files.FinishListing();
        benchmark::DoNotOptimize(files.GetCount());
    }
}
BENCHMARK(BM_ShowListOf490With75LongCommentsAgain)->Unit(benchmark::kMillisecond);

// The start of one show behind a comment: how fast what stands before the root is gone through.
void BM_ShowHeaderBehindComment(benchmark::State& state)
{
    const size_t bytes = size_t(state.range(0)) * 1024 * 1024;
    char pattern[] = "/tmp/tanzo-show-start-XXXXXX";
    const std::string folder = ::mkdtemp(pattern) ? pattern : "";
    const std::string path = folder + "/a.show";
    std::ofstream(path, std::ios::binary) << ShowBehindComment(bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(CFile::ReadHeader(path).root);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    std::system(("rm -rf '" + folder + "'").c_str());
}
BENCHMARK(BM_ShowHeaderBehindComment)->Arg(2)->Arg(31)->Unit(benchmark::kMillisecond);

// The bytes of the long comments below, which the list reads as far as the reader does: in TSCII
// they decode to more text than a show may have, refused as the reader refuses them.
constexpr size_t kLongComment = 4 * 1024 * 1024;

// The start of a show as a hostile folder may craft it: before the root's attributes (a plain
// show's rest follows them).
std::string CraftedStart(int shape)
{
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n";
    const std::string root = "<show application=\"Tanzo\" version=\"1.7.0\"";
    std::string start;
    const auto repeat = [&](const std::string& unit, size_t times) {
        start.reserve(start.size() + unit.size() * times);
        for (size_t i = 0; i < times; ++i)
            start += unit;
    };
    switch (shape)
    {
    case 0:  // 199,990 empty comments
        start = declaration;
        repeat("<!---->", 199990);
        return start + "\n" + root;
    case 1:  // 199,990 processing instructions
        start = declaration;
        repeat("<?a?>", 199990);
        return start + "\n" + root;
    case 2:  // a document type declaring entities over 4 MB
        start = declaration + "<!DOCTYPE show [";
        repeat("<!ENTITY e \"x\">", 4000000 / 16);
        return start + "]>\n" + root;
    case 3:  // declarations, as many as the list keeps
        repeat("<?xml?>", 199990);
        return start + "\n" + root;
    case 4:  // a root attribute of 1,000,000 bytes
        return root + " label=\"" + std::string(1000000, 'x') + "\"";
    case 6:  // the same, its name then given again: the file is no show, said where the parser says
        return root + " label=\"" + std::string(1000000, 'x') + "\" label=\"\"";
    case 7:  // a comment of 4 MB in TSCII, whose byte 0x82 is four characters (12 bytes)
        start = "<?xml version=\"1.0\" encoding=\"TSCII\" standalone=\"no\" ?>\n<!--";
        start.append(kLongComment - 1024 - start.size(), '\x82');
        return start + "-->\n" + root;
    case 8:  // the same in UTF-7, which the C library converts slowest for each character
        start = "<?xml version=\"1.0\" encoding=\"UTF-7\" standalone=\"no\" ?>\n<!--";
        start.append(kLongComment - 1024 - start.size(), 'x');
        return start + "-->\n" + root;
    case 9:  // a comment of 4 MB declared Windows-1252, whose byte 0xE9 is two bytes of UTF-8
        start = "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"no\" ?>\n<!--";
        start.append(kLongComment - 1024 - start.size(), '\xE9');
        return start + "-->\n" + root;
    default:  // 64 attributes of 16 KB each
        start = root;
        for (int i = 0; i < 62; ++i)
            start += " a" + std::to_string(i) + "=\"" + std::string(16000, 'x') + "\"";
        return start;
    }
}

const char* const kCraftedStarts[] = {"comments",   "instructions",    "entities",     "declarations",
                                      "attribute",  "attributes",      "attribute twice", "TSCII comment",
                                      "UTF-7 comment", "Windows-1252 comment"};

// A folder of shows of one crafted start, one file under as many names.
class CCraftedShows
{
public:
    CCraftedShows(int shape, int shows)
    {
        char pattern[] = "/tmp/tanzo-show-list-XXXXXX";
        m_folder = ::mkdtemp(pattern) ? pattern : "";
        std::ofstream(Path(0), std::ios::binary)
            << CraftedStart(shape) << "><system/><fixtures/><playbacks/></show>\n";
        for (int i = 1; i < shows; ++i)
            ::link(Path(0).c_str(), Path(i).c_str());
    }
    ~CCraftedShows() { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    std::string Path(int i) const { return m_folder + "/show" + std::to_string(i) + ".show"; }
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
};

// The start of one crafted show, and what the list keeps of it: its time, and the heap the list
// holds beyond a list of as many plain shows.
void BM_ShowHeaderOfACraftedStart(benchmark::State& state)
{
    const int shape = int(state.range(0));
    const CCraftedShows shows(shape, 10);
    state.SetLabel(kCraftedStarts[shape]);
    for (auto _ : state)
        benchmark::DoNotOptimize(CFile::ReadHeader(shows.Path(0)).root);
    const CCraftedShows plain(4, 0);
    std::ofstream(plain.Path(0), std::ios::binary) << ShowBehindComment(0);
    for (int i = 1; i < 10; ++i)
        ::link(plain.Path(0).c_str(), plain.Path(i).c_str());
    const auto held = [](const std::string& folder) {
        const size_t before = mallinfo2().uordblks;
        CFileManager files(folder);
        files.SetCore(nullptr);
        files.FinishListing();
        return double(mallinfo2().uordblks) - double(before);
    };
    state.counters["kept_bytes_per_show"] = (held(shows.Folder()) - held(plain.Folder())) / 10;
}
BENCHMARK(BM_ShowHeaderOfACraftedStart)->DenseRange(0, 9)->Unit(benchmark::kMillisecond);

// The program's start over folders of crafted shows: 50 behind 199,990 empty comments, 50 and 200
// with a root attribute of 1,000,000 bytes, 50 behind a TSCII or UTF-7 comment of 4 MB,
// 400 behind a Windows-1252 one.
void BM_ShowListOfCraftedShows(benchmark::State& state)
{
    const int shape = int(state.range(0));
    const CCraftedShows shows(shape, int(state.range(1)));
    state.SetLabel(kCraftedStarts[shape]);
    for (auto _ : state)
    {
        CFileManager files(shows.Folder());
        files.SetCore(nullptr);
        files.FinishListing();
        benchmark::DoNotOptimize(files.GetCount());
    }
}
BENCHMARK(BM_ShowListOfCraftedShows)
    ->Args({0, 50})
    ->Args({4, 50})
    ->Args({4, 200})
    ->Args({6, 200})
    ->Args({7, 50})
    ->Args({8, 50})
    ->Args({9, 400})
    ->Unit(benchmark::kMillisecond);

// 500 shows as the program writes them beside 100,000 other entries: tiny shows of the main
// product named "*.xml" (names of two files, as a file takes at most 65,000), or pipes named
// "*.show".
class CCrowdedShows
{
public:
    explicit CCrowdedShows(bool pipes)
    {
        char pattern[] = "/tmp/tanzo-show-list-XXXXXX";
        m_folder = ::mkdtemp(pattern) ? pattern : "";
        for (int i = 0; i < 500; ++i)
            std::ofstream(m_folder + "/show" + std::to_string(i) + ".show", std::ios::binary) << ShowBehindComment(0);
        for (int i = 0; i < 2; ++i)
            std::ofstream(m_folder + "/.tiny" + std::to_string(i), std::ios::binary) << "<show application=\"Lumivo\"/>\n";
        for (int i = 0; i < 100000; ++i)
        {
            const std::string path = m_folder + "/m" + std::to_string(100000 + i) + (pipes ? ".show" : ".xml");
            if (pipes)
                ::mkfifo(path.c_str(), 0600);
            else
                ::link((m_folder + "/.tiny" + std::to_string(i % 2)).c_str(), path.c_str());
        }
        std::this_thread::sleep_for(std::chrono::seconds(3));
    }
    ~CCrowdedShows() { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
};

// The program's start over a folder of 500 shows and 100,000 other entries.
void BM_ShowListBeside100000Entries(benchmark::State& state)
{
    const CCrowdedShows shows(state.range(0) != 0);
    state.SetLabel(state.range(0) != 0 ? "pipes" : "XML shows");
    for (auto _ : state)
    {
        CFileManager files(shows.Folder());
        files.SetCore(nullptr);
        files.FinishListing();
        benchmark::DoNotOptimize(files.GetCount());
    }
}
BENCHMARK(BM_ShowListBeside100000Entries)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The largest show a user makes, as the program writes it: 64 playbacks of 48 cues, each of four
// blocks of 800 bytes (some 14 MB); label stands before each cue's label, in the text declared
// in the encoding named (as bench/show_list_start.sh makes it).
std::string LargestShowAsWritten(const std::string& label = "", const std::string& encoding = "UTF-8")
{
    const std::string block = "                        <block>" + std::string(1064, 'A') + "AA==</block>\n";
    std::string show = "<?xml version=\"1.0\" encoding=\"" + encoding + "\" standalone=\"no\" ?>\n"
                       "<show application=\"Tanzo\" version=\"1.7.0\">\n    <system>\n        <host>\n"
                       "            <os>Linux</os>\n        </host>\n        <device />\n    </system>\n"
                       "    <fixtures />\n    <playbacks>\n";
    for (int p = 0; p < 64; ++p)
    {
        show += "        <playback index=\"" + std::to_string(p) + "\" label=\"Look " + std::to_string(p) +
                "\" intensity=\"0.5\" gomode=\"Toggle\">\n            <cues>\n";
        for (int c = 1; c <= 48; ++c)
        {
            show += "                <cue label=\"" + label + "Cue " + std::to_string(c) +
                    "\" fade=\"2s\" delay=\"1s\" condition=\"Follow\">\n                    <blocks>\n";
            for (int b = 0; b < 4; ++b)
                show += block;
            show += "                    </blocks>\n                </cue>\n";
        }
        show += "            </cues>\n        </playback>\n";
    }
    return show + "    </playbacks>\n</show>\n";
}

// The text in the encoding, as the C library converts it from UTF-8.
std::string Encoded(const std::string& text, const char* encoding)
{
    const iconv_t converter = iconv_open(encoding, "UTF-8");
    std::string out(text.size() * 2, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* to = out.data();
    size_t toLeft = out.size();
    iconv(converter, &in, &inLeft, &to, &toLeft);
    iconv(converter, nullptr, nullptr, &to, &toLeft);
    iconv_close(converter);
    out.resize(out.size() - toLeft);
    return out;
}

// A folder of shows made once, removed at the end; settled (no file changed in the last seconds)
// as a user's folder is.
class CShowFolder
{
public:
    CShowFolder()
    {
        char pattern[] = "/tmp/tanzo-show-list-XXXXXX";
        m_folder = ::mkdtemp(pattern) ? pattern : "";
    }
    ~CShowFolder() { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    std::string Path(const std::string& name) const { return m_folder + "/" + name; }
    const std::string& Folder() const { return m_folder; }
    void Settle() const { std::this_thread::sleep_for(std::chrono::seconds(3)); }

private:
    std::string m_folder;
};

// 22 copies of the largest show a user makes, a small show after them and a show of the main
// product: every one listed as it opens, however much the others take to check.
const CShowFolder& LargestShows()
{
    static const CShowFolder shows = [] {
        CShowFolder folder;
        std::ofstream(folder.Path("large00.show"), std::ios::binary) << LargestShowAsWritten();
        for (int i = 1; i < 22; ++i)
        {
            const std::string name = "large" + std::to_string(100 + i).substr(1) + ".show";
            ::link(folder.Path("large00.show").c_str(), folder.Path(name).c_str());
        }
        std::ofstream(folder.Path("small.show"), std::ios::binary) << ShowBehindComment(0);
        std::ofstream(folder.Path("main.xml"), std::ios::binary)
            << "<show application=\"Lumivo\"><playbacks><buttons/></playbacks></show>\n";
        folder.Settle();
        return folder;
    }();
    return shows;
}

// Times whole listings of the folder, the checks included (on the reader's thread, beside the
// window), then lists it once more and counts what the list says of its shows: how many are
// listed and how many read-only; after, where given, is handed that list.
void TimeListingsAndCountRows(benchmark::State& state, const std::string& folder,
                              const std::function<void(CFileManager&)>& after = nullptr)
{
    for (auto _ : state)
    {
        CFileManager files(folder);
        files.SetCore(nullptr);
        files.FinishListing();
        benchmark::DoNotOptimize(files.GetCount());
    }
    CFileManager files(folder);
    files.SetCore(nullptr);
    files.FinishListing();
    double readOnly = 0;
    for (uint32_t i = 0; i < files.GetCount(); ++i)
        readOnly += files.GetFile(i)->IsReadOnly() ? 1 : 0;
    state.counters["listed"] = files.GetCount();
    state.counters["read_only"] = readOnly;
    if (after)
        after(files);
}

// The whole listing of that folder; then what SAVE does with the small show and the last large
// one.
void BM_ShowListOfTheLargestShows(benchmark::State& state)
{
    const CShowFolder& shows = LargestShows();
    TimeListingsAndCountRows(state, shows.Folder(), [&](CFileManager& files) {
        double saved = 0;
        for (const char* name : {"small", "large21"})
            saved += files.FindFile(name) && files.FindFile(name)->Save(true) ? 1 : 0;
        state.counters["saved"] = saved;
    });
    // The next run finds the folder as it was.
    ::unlink(shows.Path("large21.show").c_str());
    ::link(shows.Path("large00.show").c_str(), shows.Path("large21.show").c_str());
    std::ofstream(shows.Path("small.show"), std::ios::binary) << ShowBehindComment(0);
}
BENCHMARK(BM_ShowListOfTheLargestShows)->Unit(benchmark::kMillisecond)->Iterations(3);

// Eight shows of 31.5 MB in IBM933 (EBCDIC, with Korean in every cue's label), which decode to
// just under the 32 MB of text a show may have: each opens, and each costs the list's check some
// 0.9 s of the C library's converter.
const CShowFolder& Ibm933Shows()
{
    static const CShowFolder shows = [] {
        CShowFolder folder;
        std::string korean;
        for (int i = 0; i < 150; ++i)
            korean += "\xEA\xB0\x80";
        const std::string show =
            Encoded(LargestShowAsWritten(korean + " " + std::string(5856, 'x') + " ", "IBM933"), "IBM933");
        for (int i = 1; i <= 8; ++i)
            std::ofstream(folder.Path("show" + std::to_string(i) + ".show"), std::ios::binary) << show;
        folder.Settle();
        return folder;
    }();
    return shows;
}

void BM_ShowListOfEightIbm933Shows(benchmark::State& state)
{
    TimeListingsAndCountRows(state, Ibm933Shows().Folder());
}
BENCHMARK(BM_ShowListOfEightIbm933Shows)->Unit(benchmark::kMillisecond)->Iterations(1);

// What a press on the list's empty row holds the main thread for while the reader reads the
// folder: the listing under way is ended (within a piece of the show it reads) and the next one
// asked for. Each press comes once that many rows are made, the reading under way.
void PressWhileRead(benchmark::State& state, const std::string& folder, uint32_t rows)
{
    CFileManager files(folder);
    files.SetCore(nullptr);
    const auto rowsMade = [&] {
        while (files.GetCount() < rows)
        {
            files.Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    };
    rowsMade();
    for (auto _ : state)
    {
        files.Refresh();
        files.Update();
        state.PauseTiming();
        rowsMade();
        state.ResumeTiming();
    }
}

// The 22 largest shows, each press while they are checked.
void BM_ShowListPressWhileTheLargestShowsAreChecked(benchmark::State& state)
{
    PressWhileRead(state, LargestShows().Folder(), 24);
}
BENCHMARK(BM_ShowListPressWhileTheLargestShowsAreChecked)->Unit(benchmark::kMillisecond)->Iterations(20);

// The eight IBM933 shows, each press while they are checked.
void BM_ShowListPressWhileIbm933ShowsAreChecked(benchmark::State& state)
{
    PressWhileRead(state, Ibm933Shows().Folder(), 8);
}
BENCHMARK(BM_ShowListPressWhileIbm933ShowsAreChecked)->Unit(benchmark::kMillisecond)->Iterations(20);

// 3,000 shows behind a comment of 4 MB, one file under as many names, and a show as the program
// writes it: the list reads each long one whole, as the reader does, once every glance is made.
const CShowFolder& FarShows()
{
    static const CShowFolder shows = [] {
        CShowFolder folder;
        std::ofstream(folder.Path("far0000.show"), std::ios::binary) << ShowBehindComment(4 * 1024 * 1024);
        for (int i = 1; i < 3000; ++i)
        {
            const std::string name = "far" + std::to_string(10000 + i).substr(1) + ".show";
            ::link(folder.Path("far0000.show").c_str(), folder.Path(name).c_str());
        }
        std::ofstream(folder.Path("plain.show"), std::ios::binary) << ShowBehindComment(0);
        folder.Settle();
        return folder;
    }();
    return shows;
}

// Each press while those shows are read, a few of them listed.
void BM_ShowListPressWhileFarShowsAreRead(benchmark::State& state)
{
    PressWhileRead(state, FarShows().Folder(), 3);
}
BENCHMARK(BM_ShowListPressWhileFarShowsAreRead)->Unit(benchmark::kMillisecond)->Iterations(20);

// One such show read and parsed whole: what opening it costs, and what each entry of the list
// cost while the list read every show whole.
void BM_ShowReadWhole(benchmark::State& state)
{
    for (auto _ : state)
    {
        TiXmlDocument document;
        benchmark::DoNotOptimize(ReadXmlFile(Shows().Path(0), CFile::kMaxBytes, document).IsRead());
    }
}
BENCHMARK(BM_ShowReadWhole)->Unit(benchmark::kMillisecond);
}  // namespace
