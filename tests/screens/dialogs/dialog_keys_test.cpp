// Return and Escape work a dialog's buttons: the key's press shows the button down, its release
// ends the dialog with that button's result. The platform's text input runs while a dialog that
// takes text is open, also when it replaced another one.
#include "model/playback_manager.h"
#include "screens/dialogs/dialog_acn.h"
#include "screens/dialogs/dialog_address.h"
#include "screens/dialogs/dialog_artnet.h"
#include "screens/dialogs/dialog_confirmation.h"
#include "screens/dialogs/dialog_duration.h"
#include "screens/dialogs/dialog_explanation.h"
#include "screens/dialogs/dialog_ip_and_subnet.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/dialogs/dialog_playback_properties.h"
#include "screens/dialogs/dialog_string.h"
#include "shell/text_input_request.h"
#include "tests/screens/dialogs/dialog_test.h"

#include <SDL_keyboard.h>

using namespace dialog_test;

namespace
{
using DialogKeys = DialogTest;
}

TEST_F(DialogKeys, ReturnAndEscapeEndEveryDialogOnTheKeysReleaseAndTextInputRunsWhileOneTakesText)
{
    CPlaybackManager playbacks;
    struct Case
    {
        const char* name;
        std::function<std::unique_ptr<CArea2>(CArea2*)> make;
        int64_t onReturn;  // -1: Return does nothing
        int64_t onEscape;
        bool takesText;
    };
    const Case cases[] = {
        {"string", [](CArea2* h) { return std::make_unique<CDialogString>(h); }, 1, 2, true},
        {"duration", [](CArea2* h) { return std::make_unique<CDialogDuration>(h); }, 1, 2, true},
        {"confirmation", [](CArea2* h) { return std::make_unique<CDialogConfirmation>(h); }, 1, 2, false},
        // Escape answers 2 even while the notice hides its Cancel.
        {"notification", [](CArea2* h) { return std::make_unique<CDialogNotification>(h); }, 1, 2, false},
        {"hint", [](CArea2* h) { return std::make_unique<CDialogExplanation>(h); }, 1, 1, false},
        {"properties", [&](CArea2* h) { return std::make_unique<CDialogPlaybackProperties>(h, &playbacks); }, -1, 1, false},
        // Empty fields hold no address for Ok to take.
        {"ip", [](CArea2* h) { return std::make_unique<CDialogIpAndSubnet>(h, true); }, -1, 2, true},
        {"artnet", [](CArea2* h) { return std::make_unique<CDialogArtnet>(h); }, 1, 2, false},
        {"sacn", [](CArea2* h) { return std::make_unique<CDialogAcn>(h); }, 1, 2, false},
        {"address", [](CArea2* h) { return std::make_unique<CDialogAddress>(h); }, 1, 2, true},
    };
    // As at the application's start.
    CTextInputRequest::StopUnrequested();
    for (const Case& c : cases)
    {
        for (const uint32_t key : {kReturn, kEscape})
        {
            // The second replaces the first, which lets go of text input only after it was asked for.
            Show(c.make(&host));
            Show(c.make(&host));
            EXPECT_EQ(bool(SDL_IsTextInputActive()), c.takesText) << c.name;
            KeyDown(key);
            Tick();
            EXPECT_EQ(host.closedWith, -1) << c.name << " " << key;
            KeyUp(key);
            Tick();
            const int64_t expected = key == kReturn ? c.onReturn : c.onEscape;
            EXPECT_EQ(host.closedWith, expected) << c.name << " " << key;
            EXPECT_EQ(bool(SDL_IsTextInputActive()), c.takesText && expected == -1) << c.name << " " << key;
        }
    }
}

TEST_F(DialogKeys, AHeldDigitTypesAgainInEveryDialogThatTakesDigits)
{
    struct Case
    {
        const char* name;
        std::function<std::unique_ptr<CArea2>(CArea2*)> make;
        const char* shown;  // after a digit held through two repeats
    };
    const Case cases[] = {
        {"address", [](CArea2* h) { return std::make_unique<CDialogAddress>(h); }, "555"},
        {"artnet", [](CArea2* h) { return std::make_unique<CDialogArtnet>(h); }, "11.1"},
        {"sacn", [](CArea2* h) { return std::make_unique<CDialogAcn>(h); }, "555"},
        {"ip", [](CArea2* h) { return std::make_unique<CDialogIpAndSubnet>(h, true); }, "555"},
    };
    for (const Case& c : cases)
    {
        Show(c.make(&host));
        const uint32_t digit = c.shown[0];
        KeyDown(digit);
        KeyRepeat(digit);
        KeyRepeat(digit);
        KeyUp(digit);
        EXPECT_EQ(Nth<CAreaEditField>(0)->GetText(), c.shown) << c.name;
    }
}
