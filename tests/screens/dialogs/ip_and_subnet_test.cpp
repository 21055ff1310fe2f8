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
        dialog = Show(new CDialogIpAndSubnet(&host, dhcpAllowed));
        dialog->SetIpAddress(CIpAddress(192, 168, 1, 20, 16946));
        dialog->SetSubnet(CIpAddress(255, 255, 255, 0));
    }
    CAreaEditField* Address() const { return Nth<CAreaEditField>(0); }
    CAreaEditField* Subnet() const { return Nth<CAreaEditField>(1); }
    void ChooseDhcp()
    {
        CAreaRadio* mode = Nth<CAreaRadio>(0);
        bool handled = false;
        host.PointerDown(0, dialog->GetPosition() + mode->GetPosition() + CPoint(10, 10), 1, &handled);
    }

    CDialogIpAndSubnet* dialog = nullptr;
};
}  // namespace

TEST_F(IpDialog, OnlyAddressKeysAreTypedAndTabMovesBetweenTheFields)
{
    Open();
    Address()->SetText("", false);
    for (uint32_t key : {uint32_t('a'), uint32_t('/'), uint32_t(' '), uint32_t('-')})
        EXPECT_TRUE(KeyDown(key));
    Type("10.0.0.7:80");
    EXPECT_EQ(Address()->GetText(), "10.0.0.7:80");
    Key(kTab);
    EXPECT_TRUE(Subnet()->HasFocus());
    EXPECT_FALSE(Address()->HasFocus());
    Key(kBackspace);
    Type("8");
    EXPECT_EQ(Subnet()->GetText(), "255.255.255.8");
    Key(kTab);
    EXPECT_TRUE(Address()->HasFocus());
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
    EXPECT_EQ(Subnet()->GetText(), "255.255.255.");
    KeyUp(kBackspace);
    // A short press takes one character only.
    KeyDown(kBackspace);
    Tick(10);
    KeyUp(kBackspace);
    Tick(30);
    EXPECT_EQ(Subnet()->GetText(), "255.255.255");
}

TEST_F(IpDialog, OkTakesOnlyAddressesThatParseAndKeepsTheUnitsPort)
{
    Open();
    const CRgbaColour normal = Address()->GetColour();
    Key(kBackspace);
    Key(kBackspace);
    Key(kBackspace);
    EXPECT_EQ(Address()->GetText(), "192.168.1");
    EXPECT_EQ(Address()->GetColour(), CRgbaColour(255, 0, 0, 255));
    EXPECT_FALSE(Button("Ok")->IsEnabled());
    Key(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);

    Type(".9");
    EXPECT_EQ(Address()->GetColour(), normal);
    EXPECT_TRUE(dialog->IsAcceptable());
    EXPECT_EQ(dialog->GetIpAddress().ToText(), "192.168.1.9");
    EXPECT_EQ(dialog->GetIpAddress().GetPort(), 16946);

    // An Ok held while the mask turns bad does not end the dialog.
    Key(kTab);
    KeyDown(kReturn);
    Type(".");
    KeyUp(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    Key(kBackspace);
    CIpAddress taken;
    host.onClosed = [&](CArea2* d) { taken = static_cast<CDialogIpAndSubnet*>(d)->GetSubnet(); };
    Click(Button("Ok"));
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken.ToText(), "255.255.255.0");
}

TEST_F(IpDialog, DhcpTakesTheFocusAwayAndNeedsNoAddress)
{
    Open();
    Address()->SetText("nonsense", false);
    ChooseDhcp();
    EXPECT_TRUE(dialog->IsDhcp());
    EXPECT_FALSE(Address()->HasFocus() || Subnet()->HasFocus());
    EXPECT_TRUE(Button("Ok")->IsEnabled());
    Key(kTab);
    EXPECT_FALSE(Address()->HasFocus() || Subnet()->HasFocus());
    Type("1");
    EXPECT_EQ(Subnet()->GetText(), "255.255.255.01");
}

TEST_F(IpDialog, WithoutDhcpTheChoiceStaysHidden)
{
    Open(false);
    dialog->SetDhcp(true);
    EXPECT_FALSE(Nth<CAreaRadio>(0)->IsVisible());
    EXPECT_FALSE(dialog->IsDhcp());
    dialog->SetVisible(false);
    dialog->SetVisible(true);
    EXPECT_FALSE(Nth<CAreaRadio>(0)->IsVisible());
}

TEST_F(IpDialog, TheEntryBoxesLineUpUnderTheModeChoice)
{
    Open();
    EXPECT_EQ(Nth<CAreaRadio>(0)->GetRect(), CRect(192, 4, 204, 40));
    EXPECT_EQ(Address()->GetRect(), CRect(54, 48, 342, 40));
    EXPECT_EQ(Address()->GetBoxRect().GetRight() + Address()->GetX(), 396);
    EXPECT_NEAR(Address()->GetBoxRect().GetWidth(), 204, 2);
    EXPECT_EQ(Subnet()->GetRect(), CRect(54, 92, 342, 40));
    EXPECT_EQ(Button("Ok")->GetRect(), CRect(192, 206, 100, 40));
}
