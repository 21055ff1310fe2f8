#pragma once

#include <functional>
#include <string>

// The click sounds of the user interface ("negative", "positive", "hw_down", "hw_up"), played by
// the program's click-sound player when there is one. Tests hear them through a listener.
void PlayClickSound(const std::string& clip);

// Every clip asked for reaches the listener, whether or not a player exists; an empty function
// removes it.
void SetClickSoundListener(std::function<void(const std::string&)> listener);
