#include "pages/device/framedevipcfg.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/settingkeys.h"
#include "app/utility.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/device/frameipeditrect.h"
#include "protocol/formudp.h"
#include "wizard/pagekit.h"
#include "wizard/timage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include <array>
#include <optional>

namespace {

// The four octets of a field as one host-order address; none when an octet
// holds nothing but blanks.
std::optional<quint32> FieldAddress(const TFrameIPEditRect *field)
{
    quint32 address = 0;
    for (int i = 1; i <= 4; ++i) {
        const QString octet = field->GetOctet(i).trimmed();
        if (octet.isEmpty())
            return std::nullopt;
        address = (address << 8) | static_cast<quint32>(TFrameIPEditRect::NormalisedValue(octet));
    }
    return address;
}

// The value stored for a field: its normalised address, 0 for an empty one
// (so fields the device reported as 0 compare equal when left alone).
quint32 StoredAddress(const TFrameIPEditRect *field)
{
    return IpFromText(field->GetAddress());
}

// An address a device may take: first octet neither 0 ("this network")
// nor 127 (loopback), not multicast or above.
bool UsableAddress(quint32 ip)
{
    return (ip >> 24) != 0 && ip < 0xE0000000u && (ip >> 24) != 127;
}

// One-bits contiguous from the most significant bit, neither none nor all.
bool UsableMask(quint32 mask)
{
    if (mask == 0 || mask == 0xFFFFFFFFu)
        return false;
    const quint32 hosts = ~mask + 1;
    return (hosts & (hosts - 1)) == 0;
}

QString ShownAddress(quint32 address)
{
    return address == 0 ? QString() : IpToText(address);
}

} // namespace

TFrameDevIPCfg::TFrameDevIPCfg(QWidget *parent) : TFrameBase(parent)
{
    using namespace PageKit;
    std::tie(ImgBG, GBoxCfg) = PageFrame(this, PageHeight, "GBoxCfg", WideContentBox, QString(), true);
    QWidget *box = GBoxCfg;
    LbCfgInfo = Label(box, "LbCfgInfo", QStringLiteral("Specify IP Address:"), QRect(16, 14, 250, 16), Bold);
    RBtnDHCP = Radio(box, "RBtnDHCP", QStringLiteral("Obtain network settings automatically"),
                     QRect(300, 40, 260, 18));
    RBtnStatic =
        Radio(box, "RBtnStatic", QStringLiteral("Specify network settings"), QRect(300, 60, 260, 18));
    RBtnDHCP->hide();
    RBtnStatic->hide();

    auto makeField = [box](const char *labelName, const QString &caption, const char *fieldName, int top,
                           QLabel **label) {
        *label = Label(box, labelName, caption, QRect(40, top, 100, 21));
        auto *field = new TFrameIPEditRect(box);
        field->setObjectName(QString::fromLatin1(fieldName));
        field->move(150, top);
        return field;
    };
    IPEditIP = makeField("LbIP", QStringLiteral("IP Address:"), "IPEditIP", 44, &LbIP);
    IPEditMask = makeField("LbMask", QStringLiteral("Subnet:"), "IPEditMask", 74, &LbMask);
    IPEditGateway = makeField("LbGateway", QStringLiteral("Gateway:"), "IPEditGateway", 104, &LbGateway);
    IPEditDNS1 = makeField("LbDNS1", QStringLiteral("DNS 1:"), "IPEditDNS1", 134, &LbDNS1);
    IPEditDNS2 = makeField("LbDNS2", QStringLiteral("DNS 2:"), "IPEditDNS2", 164, &LbDNS2);
    for (QWidget *hidden : {static_cast<QWidget *>(LbDNS1), static_cast<QWidget *>(IPEditDNS1),
                            static_cast<QWidget *>(LbDNS2), static_cast<QWidget *>(IPEditDNS2)})
        hidden->hide();
    // The keyboard visits the gateway first, then address and mask.
    FixKeyboardOrder({IPEditGateway, IPEditIP, IPEditMask});

    LbStaticIPInfo = Label(box, "LbStaticIPInfo",
                           QStringLiteral("Note: Please refer to your computer\u2019s user guide regarding "
                                          "management of \u2018Static IP Address\u2019 information."),
                           QRect(16, 196, 544, 30), Wrapped);
    LbClickNext = ClickNextLabel(box, QRect(360, 236, 200, 16));

    std::tie(BtnExit, BtnBack, BtnNext) =
        WizardButtons(this, Post{WIZARD_EXIT}, Post{WIZARD_BACK}, &TFrameDevIPCfg::NextClick, Focus::Style,
                      "BtnNext", QStringLiteral("Configure"), Order::BackNextExit);

    auto *group = new QButtonGroup(this);
    group->addButton(RBtnDHCP);
    group->addButton(RBtnStatic);
    RBtnStatic->setChecked(true);

    connect(RBtnDHCP, &QRadioButton::clicked, this, &TFrameDevIPCfg::UpdateEnabled);
    connect(RBtnStatic, &QRadioButton::clicked, this, &TFrameDevIPCfg::UpdateEnabled);
    connect(IPEditMask, &TFrameIPEditRect::FrameEnter, this, &TFrameDevIPCfg::ProposeMask);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

TFrameDevIPCfg::~TFrameDevIPCfg() = default;

bool TFrameDevIPCfg::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack) {
        RBtnStatic->setChecked(true);
        const IpConfigRecord &config = g_Var.NewIpConfig;
        IPEditIP->SetAddress(ShownAddress(config.Ip));
        IPEditMask->SetAddress(ShownAddress(config.Netmask));
        IPEditGateway->SetAddress(config.Gateway == 0xFFFFFFFFu ? QString() : ShownAddress(config.Gateway));
        IPEditDNS1->SetAddress(ShownAddress(config.Dns1));
        IPEditDNS2->SetAddress(ShownAddress(config.Dns2));
        UpdateEnabled();
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameDevIPCfg::UpdateEnabled()
{
    const bool editable = RBtnStatic->isChecked();
    for (TFrameIPEditRect *field : {IPEditIP, IPEditMask, IPEditGateway, IPEditDNS1, IPEditDNS2})
        field->SetEnabled(editable);
}

void TFrameDevIPCfg::ProposeMask()
{
    if (!IPEditMask->GetAddress().isEmpty() || IPEditIP->GetAddress().isEmpty())
        return;
    // Without a first octet there is no class to go by.
    const QString first = IPEditIP->GetOctet(1).trimmed();
    if (first.isEmpty())
        return;
    const int v = TFrameIPEditRect::NormalisedValue(first);
    if (v < 128)
        IPEditMask->SetAddress(QStringLiteral("255.0.0.0"));
    else if (v < 192)
        IPEditMask->SetAddress(QStringLiteral("255.255.0.0"));
    else
        IPEditMask->SetAddress(QStringLiteral("255.255.255.0"));
}

const TextKey *TFrameDevIPCfg::Validate() const
{
    const std::optional<quint32> ip = FieldAddress(IPEditIP);
    if (!ip)
        return &MessageKey::ErIPAddr;
    if (!UsableAddress(*ip))
        return &MessageKey::ErIPAddr;

    const std::optional<quint32> mask = FieldAddress(IPEditMask);
    if (!mask || !UsableMask(*mask))
        return &MessageKey::ErSubnetMask;

    const quint32 host = *ip & ~*mask;
    if (!UsableAddress(*ip) || host == 0 || host == ~*mask)
        return &MessageKey::ErIPAddr;

    if (IPEditIP->GetAddress() == FormUDP()->LocalIP())
        return &MessageKey::ErIPSameAsLocahost;

    if (IPEditGateway->GetAddress().isEmpty())
        return nullptr;
    const std::optional<quint32> gateway = FieldAddress(IPEditGateway);
    if (!gateway)
        return &MessageKey::ErDefaultGateway;
    if ((*gateway & *mask) != (*ip & *mask) || (*gateway & ~*mask) == 0 || (*gateway | *mask) == 0xFFFFFFFFu)
        return &MessageKey::ErDefaultGateway;
    return nullptr;
}

void TFrameDevIPCfg::NextClick()
{
    g_Var.NewIpConfig.IpMode = RBtnDHCP->isChecked() ? IP_MODE_DHCP : IP_MODE_STATIC;

    // An empty octet fails the first rule before the correction below can
    // turn "...255" into an address.
    if (!FieldAddress(IPEditIP)) {
        DebugPrint("TFrameDevIPCfg::BtnNextClick() FAIL %s", MessageKey::ErIPAddr.Key);
        ShowMessage(MessageKey::ErIPAddr);
        return;
    }
    // A broadcast address cannot be a device's own: .255 becomes .254.
    QString address = IPEditIP->GetAddress();
    const int lastDot = address.lastIndexOf(QLatin1Char('.'));
    if (lastDot >= 0 && address.mid(lastDot + 1) == QLatin1String("255")) {
        address[address.size() - 1] = QLatin1Char('4');
        IPEditIP->SetAddress(address);
    }

    if (const TextKey *failure = Validate()) {
        DebugPrint("TFrameDevIPCfg::BtnNextClick() FAIL %s", failure->Key);
        ShowMessage(*failure);
        return;
    }

    IpConfigRecord &config = g_Var.NewIpConfig;
    config.Ip = StoredAddress(IPEditIP);
    config.Netmask = StoredAddress(IPEditMask);
    config.Gateway = StoredAddress(IPEditGateway);
    config.Dns1 = StoredAddress(IPEditDNS1);
    config.Dns2 = StoredAddress(IPEditDNS2);

    if (config == g_Var.CurIpConfig) {
        PostWizardCommand(WIZARD_NEXT);
        return;
    }
    if (IpSetting.Run(this)) {
        PostWizardCommand(WIZARD_NEXT);
        return;
    }
    DebugPrint("TFrameDevIPCfg::BtnNextClick() FAIL apply");
    ShowMessage(MessageKey::ER_CONNECT);
    if (g_Var.NonWorking)
        PostWizardCommand(WIZARD_NEXT);
}

void TFrameDevIPCfg::HandleAppMessage(AppMessage *message)
{
    IpSetting.HandleMessage(*message);
    TFrameBase::HandleAppMessage(message);
}
