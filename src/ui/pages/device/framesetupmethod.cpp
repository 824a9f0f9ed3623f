#include "pages/device/framesetupmethod.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/settingkeys.h"
#include "app/utility.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "framework/uiservices.h"
#include "messages/appmessage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace {

// The Next caption for each address choice, read from this page's own
// section each time it is shown.
constexpr TextKey BtnNext_DHCP{"TFrameSetupMethod", "BtnNext_DHCP", "Configure"};
constexpr TextKey BtnNext_STATIC{"TFrameSetupMethod", "BtnNext_STATIC", "Next"};

QString NextCaption(bool dynamic)
{
    return ReadText(dynamic ? BtnNext_DHCP : BtnNext_STATIC);
}

} // namespace

TFrameSetupMethod::TFrameSetupMethod(QWidget *parent) : TFrameBase(parent)
{
    using namespace PageKit;
    std::tie(ImgBG, GBoxSetupMethod) =
        PageFrame(this, PageHeight, "GBoxSetupMethod", WideContentBox, QString(), true);
    QWidget *box = GBoxSetupMethod;
    LbCurrentIP = Label(box, "LbCurrentIP", QStringLiteral("Current Network Information:"),
                        QRect(16, 12, 250, 16), Bold);
    LbIP = Label(box, "LbIP", QStringLiteral("IP Address:"), QRect(24, 32, 70, 16));
    LblIP = Label(box, "LblIP", QString(), QRect(96, 32, 100, 16));
    LbMask = Label(box, "LbMask", QStringLiteral("Subnet:"), QRect(208, 32, 50, 16));
    LblMask = Label(box, "LblMask", QString(), QRect(260, 32, 100, 16));
    LbGateway = Label(box, "LbGateway", QStringLiteral("Gateway:"), QRect(376, 32, 60, 16));
    LblGateway = Label(box, "LblGateway", QString(), QRect(438, 32, 100, 16));

    RBtnSetIPDHCP =
        Radio(box, "RBtnSetIPDHCP", QStringLiteral("\u2018Dynamic IP Address\u2019 Configuration"),
              QRect(16, 58, 300, 18));
    LbDHCPInfo = Label(box, "LbDHCPInfo",
                       QStringLiteral("With this setting the Velmora Access Point will attain an IP address "
                                      "automatically. This setting is recommend for most users."),
                       QRect(34, 78, 520, 30), Wrapped);
    RBtnSetIP = Radio(box, "RBtnSetIP", QStringLiteral("\u2018Static IP Address\u2019 Configuration"),
                      QRect(16, 114, 300, 18));
    LbSetIPInfo =
        Label(box, "LbSetIPInfo",
              QStringLiteral("With this setting the Velmora Access Point will maintain a specific IP "
                             "Address that does not change. An additional step of inputting the "
                             "specific IP Address is required. This feature is recommended for "
                             "advanced users only. "),
              QRect(34, 134, 520, 44), Wrapped);
    RBtnSetWireless =
        Radio(box, "RBtnSetWireless", QStringLiteral("Wireless Configuration"), QRect(16, 184, 250, 18));
    RBtnWebUI = Radio(box, "RBtnWebUI", QStringLiteral("Go to web UI"), QRect(16, 204, 250, 18));
    RBtnSetAdvance =
        Radio(box, "RBtnSetAdvance", QStringLiteral("Advanced setting"), QRect(290, 184, 250, 18));
    RBtnSetWireless->hide();
    RBtnWebUI->hide();
    RBtnSetAdvance->hide();
    LbClickNext = ClickNextLabel(box, QRect(360, 236, 200, 16));

    std::tie(BtnExit, BtnBack, BtnNext) =
        WizardButtons(this, Post{WIZARD_EXIT}, Post{WIZARD_BACK}, &TFrameSetupMethod::BtnNextClick, Focus::Style,
                      "BtnNext", QStringLiteral("Next"), Order::BackNextExit);

    // One choice at a time among all six.
    auto *group = new QButtonGroup(this);
    for (QRadioButton *radio : {RBtnSetIPDHCP, RBtnSetIP, RBtnSetWireless, RBtnWebUI, RBtnSetAdvance})
        group->addButton(radio);

    connect(RBtnSetIPDHCP, &QRadioButton::clicked, this, [this] { BtnNext->setText(NextCaption(true)); });
    connect(RBtnSetIP, &QRadioButton::clicked, this, [this] { BtnNext->setText(NextCaption(false)); });
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

TFrameSetupMethod::~TFrameSetupMethod() = default;

bool TFrameSetupMethod::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    const IpConfigRecord &current = g_Var.CurIpConfig;
    LblIP->setText(IpToText(current.Ip));
    LblMask->setText(IpToText(current.Netmask));
    LblGateway->setText(current.Gateway == 0 || current.Gateway == 0xFFFFFFFFu ? QString()
                                                                               : IpToText(current.Gateway));
    if (!isBack)
        RBtnSetIPDHCP->setChecked(true);
    UpdateNextCaption();
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameSetupMethod::UpdateNextCaption()
{
    BtnNext->setText(NextCaption(RBtnSetIPDHCP->isChecked()));
}

void TFrameSetupMethod::BtnNextClick()
{
    if (RBtnSetIPDHCP->isChecked()) {
        g_Var.SetupMethod = SETUP_METHOD_IP;
        g_Var.NewIpConfig = g_Var.CurIpConfig;
        bool done = true;
        // A device that already takes its address automatically needs no
        // request.
        if (g_Var.NewIpConfig.IpMode == 0) {
            g_Var.NewIpConfig.IpMode = IP_MODE_DHCP;
            done = IpSetting.Run(this);
        }
        if (done) {
            PostWizardCommand(WIZARD_NEXT);
            return;
        }
        DebugPrint("TFrameSetupMethod::BtnNextClick() FAIL dynamic address");
        ShowMessage(MessageKey::ER_CONNECT);
        if (g_Var.NonWorking)
            PostWizardCommand(WIZARD_NEXT);
    } else if (RBtnSetIP->isChecked()) {
        g_Var.SetupMethod = SETUP_METHOD_IP;
        g_Var.NewIpConfig = g_Var.CurIpConfig;
        PostWizardCommand(WIZARD_NEXT);
    } else if (RBtnSetWireless->isChecked()) {
        g_Var.SetupMethod = SETUP_METHOD_WIRELESS;
        g_Var.NewIpConfig = g_Var.CurIpConfig;
        g_Var.NewWlConfig = g_Var.CurWlConfig;
        PostWizardCommand(WIZARD_NEXT);
    } else if (RBtnSetAdvance->isChecked()) {
        g_Var.SetupMethod = SETUP_METHOD_ADVANCED;
        PostWizardCommand(WIZARD_NEXT);
    } else if (RBtnWebUI->isChecked()) {
        const QString address =
            QStringLiteral("http://") + IpToText(g_Var.CurIpConfig.Ip) + QStringLiteral("/");
        if (!Ui()->ShellOpen(address, ShellVerb::Open))
            DebugPrint("TFrameSetupMethod::BtnNextClick() FAIL open %s", qPrintable(address));
    }
}

void TFrameSetupMethod::HandleAppMessage(AppMessage *message)
{
    IpSetting.HandleMessage(*message);
    TFrameBase::HandleAppMessage(message);
}
