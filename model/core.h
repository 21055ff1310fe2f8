#pragma once

#include "foundation/asked_value.h"
#include "foundation/digest.h"
#include "foundation/observer.h"
#include "link/device_manager.h"
#include "link/link_model.h"
#include "model/message_sink.h"
#include "shell/options.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CFileManager;
class CFixtureManager;
class CMessage;
class CPersonalityManager;
class CPlaybackManager;
class CProgrammer;
class CSelectionFixture;

// How the model root is built. The defaults are the program's; the application hands in the
// parts of the user interface the model keeps (the language manager, the hint list), and tests
// point the device link and the options file where they like.
struct CCoreSetup
{
    CLinkSetup link;
    // The folder of "options.xml"; unset: the application data folder.
    std::optional<std::string> optionsFolder;
    // The folder of the show files; unset: the application data folder.
    std::optional<std::string> showFolder;
    // The language manager, told the language the options file names; null: none.
    COptionsLanguage* language = nullptr;
    // Makes and loads the list of first-use hints, which keeps the options to record the hints the
    // user turns off; the model root owns what it returns. Unset or null: a list without hints.
    std::function<std::unique_ptr<COptionsHints>(COptions& options)> createExplanations;
};

// The root of the lighting model: created once at start-up, ticked every frame, deleted at
// shutdown. It owns the device manager and every model manager, lets them find one another
// through its getters, routes the controller's replies to them (through the device manager's
// tick), and has the model read everything again when a controller is chosen. Nothing observes
// it. Main thread only.
//
// The managers are created and bound in the constructor and deleted in the destructor, each in a
// fixed order written out there; a manager that joins takes its place in each of the three and in
// Resync and ComputeDigest.
class CCore : public CLinkModel, public CMessageSink, private COptionsLink, private CMessageHandler, private CObserver
{
public:
    static constexpr uint32_t kAttributeGroupCount = 17;

    // Builds the model root; the arguments are accepted and not used.
    static std::unique_ptr<CCore> Create(int argc, char** argv);
    static std::unique_ptr<CCore> Create(int argc, char** argv, const CCoreSetup& setup);
    ~CCore();
    CCore(const CCore&) = delete;
    CCore& operator=(const CCore&) = delete;

    // Once per frame, with the fixed frame period: the device manager (which applies the replies
    // that arrived), then a show that waited for a resync, then the playbacks, then the options.
    void Update(float seconds);
    // The application went to the background and came back: the device link stops and restarts.
    void Suspend();
    void Resume();

    CDeviceManager* GetDeviceManager() const { return m_deviceManager.get(); }
    CPlaybackManager* GetPlaybackManager() const { return m_playbackManager.get(); }
    COptions* GetOptions() const { return m_options.get(); }
    COptionsHints* GetExplanations() const { return m_explanations.get(); }
    // Where the managers send their records: the device manager's queue.
    CMessageSink* GetMessageSink() { return this; }
    // The managers of the patch, the show files, the library and the programmer take these
    // places as they join; until then they are null.
    CFixtureManager* GetFixtureManager() const { return m_fixtureManager.get(); }
    CFileManager* GetFileManager() const { return m_fileManager.get(); }
    CSelectionFixture* GetSelection() const { return m_selection.get(); }
    CProgrammer* GetProgrammer() const { return m_programmer.get(); }
    CPersonalityManager* GetPersonalityManager() const { return m_personalityManager.get(); }
    uint32_t GetAttributeGroupCount() const { return kAttributeGroupCount; }

    // Called by the device manager when a controller has been chosen: every playback, cue,
    // fixture and programmer group asks the controller for all of its values.
    void Resync() override;
    // As Resync asks, and every playback its cue count: notifications may have been lost.
    void OnNotificationsLost() override;
    // Route a value taken back before it left, or refused by the queue, to the object that asked
    // for it.
    void ForgetAsked(const CMessage::STarget& target) override;
    void TakeBackAsked(const CMessage::STarget& target) override;
    // From a resync that asked the controller for something until what the program itself asked
    // has drained (GetOwnQueueLength): a show opened meanwhile waits (in the file manager) and is
    // sent after it.
    bool IsResyncSettling() const { return m_resyncSettling; }
    bool QueueMessage(const CMessage& message) override;
    bool IsWaiting(const CMessage& message) const override;

    // The show digest exists for a developer check only: the controller's digest is asked for but
    // never compared.
    void RequestDigest();
    CDigest ComputeDigest();
    void CheckDigest(const CMessage& message);

    // CLinkModel: where the device manager routes the replies.
    CMessageHandler* GetPlaybackHandler() override;
    CMessageHandler* GetFixtureHandler() override;
    CMessageHandler* GetProgrammerHandler() override;
    CMessageHandler* GetEngineHandler() override;
    // A reply that answers nothing sent: only a playback's may ask its count again.
    void OnReplyToNothing(const CMessage& message) override;

private:
    explicit CCore(const CCoreSetup& setup);

    // COptionsLink: the options file's choice of controller and lock reach the device manager.
    void SetConnectedAddress(const CIpAddress& address) override;
    void SetLocked(bool locked) override;
    // CMessageHandler: the engine's replies.
    void HandleMessage(const CMessage& message) override { CheckDigest(message); }
    // CObserver: the device manager's choice and lock go into the options file.
    void HandleNotify(CSubject* subject, uint32_t code) override;
    // Ends the settling of a resync once the link has drained, then sends a show that waited.
    void SettleResync();
    // Hands each manager the controller's "everything changed".
    void AskEverything();
    void Forget(const CMessage::STarget& target, TForget what);

    std::unique_ptr<CFixtureManager> m_fixtureManager;
    std::unique_ptr<CDeviceManager> m_deviceManager;
    std::unique_ptr<CPlaybackManager> m_playbackManager;
    std::unique_ptr<CFileManager> m_fileManager;
    std::unique_ptr<CSelectionFixture> m_selection;
    std::unique_ptr<COptions> m_options;
    std::unique_ptr<CProgrammer> m_programmer;
    std::unique_ptr<CPersonalityManager> m_personalityManager;
    std::unique_ptr<COptionsHints> m_explanations;
    bool m_resyncSettling = false;
    uint32_t m_quietTicks = 0;
};
