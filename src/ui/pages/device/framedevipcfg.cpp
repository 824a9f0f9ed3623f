#include "pages/device/framedevipcfg.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/settingkeys.h"
#include "app/utility.h"
#include "app/validation.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "pages/device/frameipeditrect.h"
#include "protocol/formudp.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace {

// The four octet texts of a field, as the address rules read them.
AddressInput FieldInput(const TFrameIPEditRect *field)
{
    AddressInput input;
    for (int i = 1; i <= 4; ++i)
        input.Octets[size_t(i - 1)] = field->GetOctet(i);
    return input;
}

// The value stored for a field: its normalised address, 0 for an empty one
// (so fields the device reported as 0 compare equal when left alone).
quint32 StoredAddress(const TFrameIPEditRect *field)
{
    return IpFromText(field->GetAddress());
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
        WizardButtons(this, Post{WIZARD_EXIT}, Post{WIZARD_BACK}, &TFrameDevIPCfg::BtnNextClick, Focus::Style,
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
    const QString mask = ProposedMask(FieldInput(IPEditIP));
    if (!mask.isEmpty())
        IPEditMask->SetAddress(mask);
}

const TextKey *TFrameDevIPCfg::Validate() const
{
    QStringList localAddresses;
    if (const TFormUDP *udp = FormUDP())
        localAddresses << udp->LocalIP();
    return CheckStaticAddress(FieldInput(IPEditIP), FieldInput(IPEditMask), FieldInput(IPEditGateway),
                              localAddresses);
}

void TFrameDevIPCfg::BtnNextClick()
{
    g_Var.NewIpConfig.IpMode = RBtnDHCP->isChecked() ? IP_MODE_DHCP : IP_MODE_STATIC;

    // A broadcast address cannot be a device's own: .255 becomes .254. The
    // field's text shows an empty octet as 0, so an address with one is
    // left for the first rule to refuse rather than corrected.
    if (FieldInput(IPEditIP).IsComplete()) {
        const QString address = IPEditIP->GetAddress();
        const QString corrected = CorrectBroadcastAddress(address);
        if (corrected != address)
            IPEditIP->SetAddress(corrected);
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
