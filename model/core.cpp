#include "model/core.h"

#include "foundation/notify_codes.h"
#include "link/message.h"
#include "model/fixture_manager.h"
#include "model/fixture_selection.h"
#include "model/personality_manager.h"
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

CCore* CCore::Create(int argc, char** argv)
{
    return Create(argc, argv, CCoreSetup());
}

CCore* CCore::Create(int, char**, const CCoreSetup& setup)
{
    return new CCore(setup);
}

CCore::CCore(const CCoreSetup& setup)
{
    // Created in this order: device manager, fixture manager, playback manager, file manager,
    // personality manager, options, programmer, fixture selection, hint list.
    m_deviceManager = new CDeviceManager(setup.link);
    m_fixtureManager = new CFixtureManager();
    m_playbackManager = new CPlaybackManager();
    m_fileManager = setup.showFolder ? new CFileManager(*setup.showFolder) : new CFileManager();
    m_personalityManager = new CPersonalityManager();
    m_options = setup.optionsFolder ? new COptions(*setup.optionsFolder) : new COptions();
    m_programmer = new CProgrammer();
    m_selection = new CSelectionFixture();

    // Bound in this order: the device manager (replies and resynchronisation come here), the
    // playback manager, fixture manager, file manager, personality library and programmer, then
    // the hint list (which keeps the options), and last the options, whose file may choose a
    // controller and so resynchronise everything bound before.
    m_deviceManager->SetCore(this);
    Observe(m_deviceManager);
    m_playbackManager->SetCore(this);
    m_fixtureManager->Init(this);
    m_fileManager->SetCore(this);
    m_personalityManager->Load();
    m_programmer->SetCore(this);
    m_explanations = setup.createExplanations ? setup.createExplanations(*m_options) : nullptr;
    if (!m_explanations)
        m_explanations = new CNoExplanations();
    m_options->SetCore(this, setup.language, m_explanations);
}

CCore::~CCore()
{
    // Deleted in this order: fixture manager, device manager, playback manager, file manager,
    // personality manager, options, programmer, fixture selection, hint list. The options save
    // from their own fields, so the device manager may go first.
    StopObserving(m_deviceManager);
    delete m_fixtureManager;
    m_fixtureManager = nullptr;
    delete m_deviceManager;
    m_deviceManager = nullptr;
    delete m_playbackManager;
    m_playbackManager = nullptr;
    delete m_fileManager;
    m_fileManager = nullptr;
    delete m_personalityManager;
    m_personalityManager = nullptr;
    delete m_options;
    m_options = nullptr;
    delete m_programmer;
    m_programmer = nullptr;
    delete m_selection;
    m_selection = nullptr;
    delete m_explanations;
    m_explanations = nullptr;
}

void CCore::Update(float seconds)
{
    m_deviceManager->Update(seconds);
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
    // A local Notify 0, handed straight to each manager: nothing is sent by the core itself.
    CMessage notify(MANAGER_PLAYBACK_MANAGER, COMMAND_NOTIFY);
    notify.SetValue(CMessageValue(uint32_t(0)));
    m_playbackManager->ApplyMessage(notify);
    notify.SetManager(MANAGER_FIXTURE_MANAGER);
    if (CMessageHandler* fixtures = GetFixtureHandler())
        fixtures->HandleMessage(notify);
    notify.SetManager(MANAGER_PROGRAMMER);
    if (CMessageHandler* programmer = GetProgrammerHandler())
        programmer->HandleMessage(notify);
    // With no controller chosen the requests were dropped and there is nothing to wait for.
    m_resyncSettling = m_deviceManager->GetQueueLength() > 0;
    m_quietTicks = 0;
}

void CCore::SettleResync()
{
    if (m_resyncSettling)
    {
        // The link thread takes an answered record off the queue a moment before it hands over
        // the reply, so one empty look can come before the last reply is applied (and before
        // the requests that reply leads to are queued). The queue must stay empty across two
        // ticks, the second having applied every reply of the first.
        if (m_deviceManager->GetQueueLength() != 0)
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
    return m_playbackManager;
}

CMessageHandler* CCore::GetFixtureHandler()
{
    return m_fixtureManager;
}

CMessageHandler* CCore::GetProgrammerHandler()
{
    return m_programmer;
}

CMessageHandler* CCore::GetEngineHandler()
{
    return this;
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
    if (subject != m_deviceManager || !m_options)
        return;
    if (code == NOTIFY_SELECTION)
        m_options->SetDevice(m_deviceManager->GetConnectedAddress());
    else if (code == NOTIFY_LOCK)
        m_options->SetLock(m_deviceManager->IsLocked());
}
