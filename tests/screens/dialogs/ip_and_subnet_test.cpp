// The network settings dialog: what its keys type and where, the Backspace hold, DHCP, and Ok
// taking only addresses that parse, with the unit's port kept.
#include "screens/dialogs/dialog_ip_and_subnet.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
constexpr uint32_t kBackspace = 8;
constexpr uint32_t kTab = 9;

struct IpDialog : DialogTest
{
    void Open(bool dhcpAllowed = true)
    {
        dialog = Show(std::make_unique<CDialogIpAndSubnet>(&host, dhcpAllowed));
        dialog->SetIpAddress(CIpAddress(192, 168, 1, 20, 16946));
        dialog->SetSubnet(CIpAddress(255, 255, 255, 0));
    }
    CAreaEditField* Address() const { return Nth<CAreaEditField>(0); }
    CAreaEditField* Subnet() const { return Nth<CAreaEditField>(1); }
    CDialogIpAndSubnet* dialog = nullptr;
};
}  // namespace

TEST_F(IpDialog, OnlyAddressKeysAreTypedTabMovesBetweenTheFieldsAndDhcpTakesTheFocusAway)
{
    Open();
    Address()->SetText("", false);
    for (uint32_t key : {uint32_t('a'), uint32_t('/'), uint32_t(' '), uint32_t('-')})
        EXPECT_TRUE(KeyDown(key));
    Type("10.0.0.7:80");
    EXPECT_EQ(Address()->GetText(), "10.0.0.7:80");
    Key(kTab);
    EXPECT_TRUE(Subnet()->HasFocus() && !Address()->HasFocus());
    Type("\b8");
    EXPECT_EQ(Subnet()->GetText(), "255.255.255.8");

    // With DHCP neither field has the focus, Tab does nothing and typing goes to the mask.
    Address()->SetText("nonsense", false);
    Click(Nth<CAreaRadio>(0), CPoint(10, 10));
    EXPECT_TRUE(dialog->IsDhcp());
    EXPECT_TRUE(Button("Ok")->IsEnabled());
    Key(kTab);
    EXPECT_FALSE(Address()->HasFocus() || Subnet()->HasFocus());
    Type("1");
    EXPECT_EQ(Subnet()->GetText(), "255.255.255.81");
}

TEST_F(IpDialog, BackspaceHeldASecondEmptiesTheAddressWhicheverFieldHasTheFocus)
{
    Open();
    Key(kTab);
    KeyDown(kBackspace);
    Tick(24);
    EXPECT_EQ(Address()->GetText(), "192.168.1.20");
    Tick(2);
    EXPECT_EQ(Address()->GetText(), "");
    KeyUp(kBackspace);
    // A short press takes one character only.
    KeyDown(kBackspace);
    Tick(10);
    KeyUp(kBackspace);
    Tick(30);
    EXPECT_EQ(Subnet()->GetText(), "255.255.255");
    // Held under the system's key repeat the second counts from the first key-down, also where a
    // repeat comes as another key-down.
    Address()->SetText("10.0.0.1", false);
    KeyDown(kBackspace);
    Tick(12);
    KeyDown(kBackspace);
    KeyRepeat(kBackspace);
    EXPECT_EQ(Subnet()->GetText(), "255.255.");
    Tick(14);
    EXPECT_EQ(Address()->GetText(), "");
    KeyUp(kBackspace);
}

TEST_F(IpDialog, OkTakesOnlyAddressesThatParseAndKeepsTheUnitsPort)
{
    Open();
    const CRgbaColour normal = Address()->GetColour();
    Type("\b\b\b");
    EXPECT_EQ(Address()->GetText(), "192.168.1");
    EXPECT_EQ(Address()->GetColour(), CRgbaColour(255, 0, 0, 255));
    EXPECT_FALSE(Button("Ok")->IsEnabled());
    Key(kReturn);
    Type(".9");
    EXPECT_EQ(Address()->GetColour(), normal);
    EXPECT_EQ(dialog->GetIpAddress().ToText(), "192.168.1.9");
    EXPECT_EQ(dialog->GetIpAddress().GetPort(), 16946);

    // An Ok held while the mask turns bad does not end the dialog.
    Key(kTab);
    KeyDown(kReturn);
    Type(".");
    KeyUp(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    Type("\b");
    Click(Button("Ok"));
    Tick();
    EXPECT_EQ(host.closedWith, 1);
}

TEST_F(IpDialog, TheModeChoiceShowsOnlyWhenDhcpIsAllowed)
{
    Open(false);
    dialog->SetDhcp(true);
    dialog->SetVisible(false);
    dialog->SetVisible(true);
    EXPECT_FALSE(Nth<CAreaRadio>(0)->IsVisible());
    EXPECT_FALSE(dialog->IsDhcp());
}
