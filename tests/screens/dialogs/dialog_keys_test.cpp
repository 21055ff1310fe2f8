// Return and Escape work a dialog's buttons: the key's press shows the button down, its release
// ends the dialog with that button's result.
#include "model/playback_manager.h"
#include "screens/dialogs/dialog_acn.h"
#include "screens/dialogs/dialog_artnet.h"
#include "screens/dialogs/dialog_confirmation.h"
#include "screens/dialogs/dialog_duration.h"
#include "screens/dialogs/dialog_explanation.h"
#include "screens/dialogs/dialog_ip_and_subnet.h"
#include "screens/dialogs/dialog_notification.h"
#include "screens/dialogs/dialog_playback_properties.h"
#include "screens/dialogs/dialog_string.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
using DialogKeys = DialogTest;
}

TEST_F(DialogKeys, ReturnAndEscapeEndEveryDialogOnTheKeysRelease)
{
    CPlaybackManager playbacks;
    struct Case
    {
        const char* name;
        std::function<CArea2*(CArea2*)> make;
        int64_t onReturn;  // -1: Return does nothing
        int64_t onEscape;
    };
    const Case cases[] = {
        {"string", [](CArea2* h) { return new CDialogString(h); }, 1, 2},
        {"duration", [](CArea2* h) { return new CDialogDuration(h); }, 1, 2},
        {"confirmation", [](CArea2* h) { return new CDialogConfirmation(h); }, 1, 2},
        // Escape answers 2 even while the notice hides its Cancel.
        {"notification", [](CArea2* h) { return new CDialogNotification(h); }, 1, 2},
        {"hint", [](CArea2* h) { return new CDialogExplanation(h); }, 1, 1},
        {"properties", [&](CArea2* h) { return new CDialogPlaybackProperties(h, &playbacks); }, -1, 1},
        // Empty fields hold no address for Ok to take.
        {"ip", [](CArea2* h) { return new CDialogIpAndSubnet(h, true); }, -1, 2},
        {"artnet", [](CArea2* h) { return new CDialogArtnet(h); }, 1, 2},
        {"sacn", [](CArea2* h) { return new CDialogAcn(h); }, 1, 2},
    };
    for (const Case& c : cases)
    {
        for (const uint32_t key : {kReturn, kEscape})
        {
            Show(c.make(&host));
            KeyDown(key);
            Tick();
            EXPECT_EQ(host.closedWith, -1) << c.name << " " << key;
            KeyUp(key);
            Tick();
            const int64_t expected = key == kReturn ? c.onReturn : c.onEscape;
            EXPECT_EQ(host.closedWith, expected) << c.name << " " << key;
        }
    }
}
