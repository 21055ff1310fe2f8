#include "widgets/click_sound.h"

#include "shell/audio_out_manager.h"

namespace
{
std::function<void(const std::string&)>& Listener()
{
    static std::function<void(const std::string&)> listener;
    return listener;
}
}

void PlayClickSound(const std::string& clip)
{
    if (Listener())
        Listener()(clip);
    if (CAudioOutManager* player = CAudioOutManager::GetProgramPlayer())
        player->Play(clip);
}

void SetClickSoundListener(std::function<void(const std::string&)> listener)
{
    Listener() = std::move(listener);
}
