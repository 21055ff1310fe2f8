#include "model/core.h"

#include "foundation/notify_codes.h"
#include "link/message.h"
#include "model/fixture_manager.h"
#include "model/fixture_selection.h"
#include "model/personality_manager.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/programmer.h"
#include "model/show_file_list.h"

namespace
{
// The hint list of a model root that was given none: it has no hints to hide.
class CNoExplanations : public COptionsHints
{
public:
    void DisableExplanation(int32_t) override {}
};
}  // namespace

std::unique_ptr<CCore> CCore::Create(int argc, char** argv)
{
    return Create(argc, argv, CCoreSetup());
}

std::unique_ptr<CCore> CCore::Create(int, char**, const CCoreSetup& setup)
{
    // The constructor is private: make_unique cannot reach it.
    return std::unique_ptr<CCore>(new CCore(setup));
}

CCore::CCore(const CCoreSetup& setup)
{
    // Created in this order: device manager, fixture manager, playback manager, file manager,
    // personality manager, options, programmer, fixture selection, hint list.
    m_deviceManager = std::make_unique<CDeviceManager>(setup.link);
    m_fixtureManager = std::make_unique<CFixtureManager>();
    m_playbackManager = std::make_unique<CPlaybackManager>();
    m_fileManager = setup.showFolder ? std::make_unique<CFileManager>(*setup.showFolder)
                                     : std::make_unique<CFileManager>();
    m_personalityManager = std::make_unique<CPersonalityManager>();
    m_options = setup.optionsFolder ? std::make_unique<COptions>(*setup.optionsFolder) : std::make_unique<COptions>();
    m_programmer = std::make_unique<CProgrammer>();
    m_selection = std::make_unique<CSelectionFixture>();

    // Bound in this order: the device manager (replies and resynchronisation come here), the
    // playback manager, fixture manager, file manager, personality library and programmer, then
    // the hint list (which keeps the options), and last the options, whose file may choose a
    // controller and so resynchronise everything bound before.
    m_deviceManager->SetCore(this);
    Observe(m_deviceManager.get());
    m_playbackManager->SetCore(this);
    m_fixtureManager->Init(this);
    m_fileManager->SetCore(this);
    m_personalityManager->Load();
    m_programmer->SetCore(this);
    if (setup.createExplanations)
        m_explanations = setup.createExplanations(*m_options);
    if (!m_explanations)
        m_explanations = std::make_unique<CNoExplanations>();
    m_options->SetCore(this, setup.language, m_explanations.get());
}

CCore::~CCore()
{
    // Deleted in this order, the same at every shutdown, rather than in the members' reverse:
    // fixture manager, device manager, playback manager, file manager, personality manager,
    // options, programmer, fixture selection, hint list. The device manager's going ends the link
    // and unit threads, which never reach the model. The options outlive the device manager whose
    // address they keep, which is safe as they save from their own fields; the hint list, whose
    // address they also keep, outlives them.
    StopObserving(m_deviceManager.get());
    m_fixtureManager.reset();
    m_deviceManager.reset();
    m_playbackManager.reset();
    m_fileManager.reset();
    m_personalityManager.reset();
    m_options.reset();
    m_programmer.reset();
    m_selection.reset();
    m_explanations.reset();
}

void CCore::Update(float seconds)
{
    m_deviceManager->Update(seconds);
    m_fileManager->Update();
    SettleResync();
    m_playbackManager->Update(seconds);
    m_options->Update(seconds);
}

void CCore::Suspend()
{
    m_deviceManager->Stop();
}

void CCore::Resume()
{
    m_deviceManager->Start();
}

void CCore::Resync()
{
    AskEverything();
    // With no controller chosen the requests were dropped and there is nothing to wait for.
    m_resyncSettling = m_deviceManager->GetOwnQueueLength() > 0;
    m_quietTicks = 0;
}

void CCore::OnNotificationsLost()
{
    AskEverything();
    // "Everything changed" of a playback leaves its cues to its count; a count read reads them.
    // Besides what Resync asks, this costs 64 count reads, whose answers read every cue (at most
    // 64 times 48 cues of 8 reads), each read again left out while a read of its target waits.
    CMessage count(MANAGER_PLAYBACK, COMMAND_NOTIFY);
    count.SetValue(CMessageValue(uint32_t(PLAYBACK_NOTIFY_COUNT)));
    for (uint32_t playback = 0; playback < CPlaybackManager::kPlaybackCount; ++playback)
    {
        count.SetIndex0(playback);
        m_playbackManager->ApplyMessage(count);
    }
}

void CCore::AskEverything()
{
    // A local Notify 0, handed straight to each manager: nothing is sent by the core itself. It
    // costs what "everything changed" of the three managers asks (64 times a playback's, 256 reads
    // of the fixtures, 21 of the programmer), each read left out while a read of its target
    // waits, so that however often it comes no more than these wait. The engine's replies
    // (HandleMessage) cost nothing: the digest is not compared.
    CMessage notify(MANAGER_PLAYBACK_MANAGER, COMMAND_NOTIFY);
    notify.SetValue(CMessageValue(uint32_t(0)));
    m_playbackManager->ApplyMessage(notify);
    notify.SetManager(MANAGER_FIXTURE_MANAGER);
    if (CMessageHandler* fixtures = GetFixtureHandler())
        fixtures->HandleMessage(notify);
    notify.SetManager(MANAGER_PROGRAMMER);
    if (CMessageHandler* programmer = GetProgrammerHandler())
        programmer->HandleMessage(notify);
}

void CCore::ForgetAsked(const CMessage::STarget& target)
{
    Forget(target, TForget::kEverything);
}

void CCore::TakeBackAsked(const CMessage::STarget& target)
{
    Forget(target, TForget::kLastAsk);
}

void CCore::Forget(const CMessage::STarget& target, TForget what)
{
    switch (target.manager)
    {
    case MANAGER_PLAYBACK:
    case MANAGER_CUE: m_playbackManager->ForgetAsked(target, what); break;
    case MANAGER_FIXTURE: m_fixtureManager->ForgetAsked(target, what); break;
    case MANAGER_PROGRAMMER:
    case MANAGER_PROGRAMMER_CHANGE: m_programmer->ForgetAsked(target, what); break;
    default: break;
    }
}

void CCore::SettleResync()
{
    if (m_resyncSettling)
    {
        // The link thread takes an answered record off the queue a moment before it hands over
        // the reply, so one empty look can come before the last reply is applied (and before
        // the requests that reply leads to are queued). The queue must stay empty across two
        // ticks, the second having applied every reply of the first. Reads that only notifications
        // or replies to nothing sent asked for are not waited for: anyone can forge them, and a
        // stream of them would hold a show back for as long as it lasts.
        if (m_deviceManager->GetOwnQueueLength() != 0)
        {
            m_quietTicks = 0;
            return;
        }
        if (++m_quietTicks < 2)
            return;
        m_resyncSettling = false;
    }
    if (m_fileManager && m_fileManager->IsLoadPending())
        m_fileManager->ResyncSettled();
}

bool CCore::QueueMessage(const CMessage& message)
{
    return m_deviceManager && m_deviceManager->QueueMessage(message);
}

bool CCore::IsWaiting(const CMessage& message) const
{
    return m_deviceManager && m_deviceManager->IsWaiting(message);
}

void CCore::RequestDigest()
{
    QueueMessage(CMessage(MANAGER_ENGINE, COMMAND_GET_DIGEST));
}

CDigest CCore::ComputeDigest()
{
    CDigestBuilder builder;
    builder.AddDigest(m_fixtureManager->GetDigest());
    builder.AddDigest(m_playbackManager->GetDigest());
    return builder.GetDigest();
}

void CCore::CheckDigest(const CMessage&)
{
    // The controller's digest is not compared with the model's.
}

CMessageHandler* CCore::GetPlaybackHandler()
{
    return m_playbackManager.get();
}

CMessageHandler* CCore::GetFixtureHandler()
{
    return m_fixtureManager.get();
}

CMessageHandler* CCore::GetProgrammerHandler()
{
    return m_programmer.get();
}

CMessageHandler* CCore::GetEngineHandler()
{
    return this;
}

void CCore::OnReplyToNothing(const CMessage& message)
{
    m_playbackManager->OnReplyToNothing(message);
}

void CCore::SetConnectedAddress(const CIpAddress& address)
{
    m_deviceManager->SetConnectedAddress(address);
}

void CCore::SetLocked(bool locked)
{
    m_deviceManager->SetLocked(locked);
}

void CCore::HandleNotify(CSubject* subject, uint32_t code)
{
    if (subject != m_deviceManager.get() || !m_options)
        return;
    if (code == NOTIFY_SELECTION)
        m_options->SetDevice(m_deviceManager->GetConnectedAddress());
    else if (code == NOTIFY_LOCK)
        m_options->SetLock(m_deviceManager->IsLocked());
}
