#include "model/show_file_list.h"

#include "foundation/file_helpers.h"
#include "foundation/file_replace.h"
#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "foundation/owned_list.h"
#include "foundation/xml_file.h"
#include "model/show_file.h"
#include "model/show_message.h"
#include "model/show_xml.h"
#include "shell/app.h"
#include "shell/platform.h"

#include <tinyxml.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{
const char* const kLogCategory = "FileManager";

// By name, byte by byte as unsigned values, a proper prefix first.
bool CompareFiles(const std::unique_ptr<CFile>& a, const std::unique_ptr<CFile>& b)
{
    return a->GetName() < b->GetName();
}

}  // namespace

CFileManager::CFileManager() : m_reader(std::make_unique<CShowListReader>())
{
}

CFileManager::CFileManager(const std::string& folder, TShowHeaderRead read)
    : m_folder(folder), m_folderGiven(true), m_read(read), m_reader(std::make_unique<CShowListReader>(std::move(read)))
{
}

CFileManager::~CFileManager()
{
    // The reader's thread ends first: it stops within one file's read.
    m_reader.reset();
    m_current = nullptr;
    DeleteBackwards(m_files);
}

void CFileManager::SetCore(CCore* core)
{
    m_core = core;
    // Once, at start: what a save killed half-way left in the show folder goes.
    const std::string folder = m_folderGiven ? m_folder : CApp::GetApplicationDataPath();
    size_t left = 0;
    for (const std::string& name : RemoveInterruptedReplaces(folder, &left))
        CApp::Log(kLogCategory, "Removed " + name + ", left by a save that was cut short", 1);
    if (left > 0)
        CApp::Log(kLogCategory, std::to_string(left) + " more files left by saves cut short wait for later starts", 1);
    Refresh();
}

void CFileManager::Refresh()
{
    if (!m_folderGiven)
        m_folder = CApp::GetApplicationDataPath();
    // Every file object goes, the open one too: nobody may keep pointing at it.
    SetCurrentFile(nullptr);
    const bool changed = !m_files.empty();
    DeleteBackwards(m_files);
    m_arrived = CShowListReader::CFound();
    m_arrivedAt = 0;
    m_madeWhileListing.clear();
    m_refusals.clear();
    m_rowsUntold = false;
    m_listing = true;
    m_fileLines = 0;
    CShowListReader::CRequest request;
    request.folder = m_folder;
    request.mostFiles = kMostShowFiles;
    request.kept = m_kept;
    m_reader->Start(std::move(request));
    if (changed)
        Notify(NOTIFY_LIST);
}

void CFileManager::Update()
{
    if (m_listing)
        Advance(kMostRowsPerTick);
    TellOfRows();
}

bool CFileManager::FinishListing(std::chrono::milliseconds quiet)
{
    // Observers hear of the rows once, when they are all made.
    while (m_listing)
    {
        if (Advance(SIZE_MAX))
            continue;
        m_reader->Wait(quiet);
        if (!Advance(SIZE_MAX))
            break;
    }
    TellOfRows();
    return !m_listing;
}

void CFileManager::TellOfRows()
{
    if (!m_rowsUntold)
        return;
    m_rowsUntold = false;
    Notify(NOTIFY_LIST);
}

bool CFileManager::Advance(size_t mostRows)
{
    CShowListReader::CFound found;
    bool came = m_reader->Take(found);
    if (came)
    {
        for (const CShowListReader::CLine& line : found.lines)
            Log(line);
        for (CShowListReader::CShow& show : found.shows)
            m_arrived.shows.push_back(std::move(show));
        m_arrived.ended = m_arrived.ended || found.ended;
        TakeRefusals(found.refusals);
    }
    const size_t first = m_files.size();
    for (; m_arrivedAt < m_arrived.shows.size() && m_files.size() - first < mostRows; ++m_arrivedAt)
    {
        const CShowListReader::CShow& show = m_arrived.shows[m_arrivedAt];
        if (std::find(m_madeWhileListing.begin(), m_madeWhileListing.end(), show.path) != m_madeWhileListing.end())
            continue;
        // The file reads its flags from what the reader found (ReadHeader).
        m_handed = &show;
        m_files.push_back(std::make_unique<CFile>(this, m_core, show.path));
        m_handed = nullptr;
        const auto refused = m_refusals.find(show.path);
        if (refused != m_refusals.end())
            m_files.back()->MarkRefused(refused->second);
    }
    const bool made = m_files.size() > first;
    if (made)
    {
        const auto middle = m_files.begin() + std::ptrdiff_t(first);
        std::stable_sort(middle, m_files.end(), CompareFiles);
        if (std::is_sorted(m_files.begin(), middle, CompareFiles))
            std::inplace_merge(m_files.begin(), middle, m_files.end(), CompareFiles);
        else
            std::stable_sort(m_files.begin(), m_files.end(), CompareFiles);
    }
    const bool ended = m_arrived.ended && m_arrivedAt == m_arrived.shows.size();
    if (ended)
    {
        m_listing = false;
        m_arrived = CShowListReader::CFound();
        m_arrivedAt = 0;
        m_madeWhileListing.clear();
        m_refusals.clear();
        if (m_fileLines > kMostFileLines)
            CApp::Log(kLogCategory,
                      "Left out of the log: " + std::to_string(m_fileLines - kMostFileLines) +
                          " more lines about the files of \"" + m_folder + "\"",
                      1);
    }
    m_rowsUntold = m_rowsUntold || made;
    return came || made || ended;
}

void CFileManager::TakeRefusals(const std::vector<CShowListReader::CRefusal>& refusals)
{
    if (refusals.empty())
        return;
    std::unordered_map<std::string, CFileStamp> fresh;
    for (const CShowListReader::CRefusal& refusal : refusals)
        fresh[refusal.path] = m_refusals[refusal.path] = refusal.stamp;
    // The rows made already are marked now, those still to come as they are made.
    for (const std::unique_ptr<CFile>& file : m_files)
    {
        const auto refused = fresh.find(file->GetPath());
        if (refused != fresh.end())
            file->MarkRefused(refused->second);
    }
}

void CFileManager::Log(const CShowListReader::CLine& line)
{
    if (line.aboutFile)
        LogAboutFile(line.category, line.text);
    else
        CApp::Log(line.category, line.text, 1);
}

CFile* CFileManager::GetFile(uint32_t index) const
{
    return ItemAt(m_files, index);
}

int32_t CFileManager::IndexOf(const CFile* file) const
{
    return PositionIn(m_files, file);
}

CFile* CFileManager::FindFile(const std::string& name) const
{
    for (const auto& file : m_files)
    {
        if (file->GetName() == name)
            return file.get();
    }
    return nullptr;
}

void CFileManager::SetCurrentFile(CFile* file)
{
    if (file == m_current)
        return;
    m_current = file;
    Notify(NOTIFY_SELECTION);
}

void CFileManager::AttachFiles(CObserver* observer, CSubjectSet* set)
{
    if (!set)
        return;
    set->Clear(observer);
    for (const auto& file : m_files)
        set->Add(observer, file.get());
}

std::string CFileManager::NewShowName() const
{
    for (uint32_t n = 1;; ++n)
    {
        const std::string name = "show" + std::to_string(n);
        // The list may be older than the folder: a file on disk is never written over.
        if (!FindFile(name) && (m_folder.empty() || !PathExists(JoinPath(m_folder, name + ".show"))))
            return name;
    }
}

CFile* CFileManager::CreateShowFile()
{
    m_error.clear();
    m_errorName.clear();
    if (m_folder.empty())
    {
        Fail(CShowMessage("There is no folder for show files."));
        return nullptr;
    }
    auto file = std::make_unique<CFile>(this, m_core, JoinPath(m_folder, NewShowName() + ".show"));
    // Listed only once it is on disk, so the list never offers a show that is not there.
    if (!file->Save(true))
    {
        m_error = file->GetError();
        m_errorName = file->GetErrorName();
        return nullptr;
    }
    // Saved, it stays listed whatever the bound.
    CFile* created = file.get();
    if (m_listing)
        m_madeWhileListing.push_back(created->GetPath());
    m_files.push_back(std::move(file));
    Notify(NOTIFY_LIST);
    return created;
}

bool CFileManager::RemoveFile(CFile* file)
{
    m_error.clear();
    m_errorName.clear();
    if (!file)
        return false;
    if (!file->CheckWritable())
    {
        Fail(CShowMessage("The show \"%1\" is read-only and cannot be deleted.").With(file->GetName()));
        return false;
    }
    const std::string& path = file->GetPath();
    if (PathExists(path) && std::remove(path.c_str()) != 0)
    {
        Fail(CShowMessage("The show \"%1\" could not be deleted: %2.").With(file->GetName()).WithSystemError(errno));
        return false;
    }
    if (file == m_current)
        SetCurrentFile(nullptr);
    m_kept.erase(std::remove(m_kept.begin(), m_kept.end(), path), m_kept.end());
    const int32_t index = IndexOf(file);
    if (index >= 0)
    {
        // Out of the list before it goes, as in DeleteBackwards.
        const std::unique_ptr<CFile> removed = std::move(m_files[size_t(index)]);
        m_files.erase(m_files.begin() + index);
    }
    Notify(NOTIFY_LIST);
    return true;
}

bool CFileManager::IsShowFile(const std::string& path)
{
    try
    {
        if (FileNameOf(path) == "..")
            return false;
        // What the root's start tag says is enough; the rest of the file is not read.
        std::string why;
        const bool show = CShowListReader::IsMainProductShow(path, CFile::ReadHeader(path), why);
        if (!why.empty())
            CApp::Log(kLogCategory, why, 1);
        return show;
    }
    catch (const std::exception&)
    {
        return false;
    }
}

const CShowHeader& CFileManager::ReadHeader(const std::string& path, const struct stat*)
{
    if (m_handed && m_handed->path == path)
        return m_handed->header;
    // A show saved or renamed, or made read-only since: one file, read at once.
    m_unkept = m_read ? m_read(path, nullptr) : CFile::ReadHeader(path);
    return m_unkept;
}

void CFileManager::KeepListed(const std::string& path)
{
    if (std::find(m_kept.begin(), m_kept.end(), path) == m_kept.end())
        m_kept.push_back(path);
}

void CFileManager::LogAboutFile(const std::string& category, const std::string& line)
{
    if (m_listing && ++m_fileLines > kMostFileLines)
        return;
    CApp::Log(category, line, 1);
}

void CFileManager::Fail(const CShowMessage& message)
{
    m_error = message.Shown();
    m_errorName = message.Name();
    CApp::Log(kLogCategory, message.Logged(), 1);
}

void CFileManager::DeferLoad(std::unique_ptr<TiXmlDocument> show, bool mainProduct)
{
    m_pending = std::move(show);
    m_pendingMainProduct = mainProduct;
}

void CFileManager::CancelPendingLoad()
{
    m_pending.reset();
}

void CFileManager::ResyncSettled()
{
    if (!m_pending)
        return;
    CFile::SendShow(m_core, std::move(m_pending), m_pendingMainProduct);
}
