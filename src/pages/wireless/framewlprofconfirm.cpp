#include "pages/wireless/framewlprofconfirm.h"

#include "pages/wireless/wlpagedesign.h"
#include "wizard/core/appmessage.h"
#include "wizard/timage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

// Top of LbNetworkInfo inside the group; the other rows hang from it.
constexpr int kTop = 24;
constexpr int kHeadingLeft = 16;
constexpr int kCaptionLeft = 32;
constexpr int kValueLeft = 168;

QLabel *Heading(QGroupBox *group, const QString &name, const QString &text)
{
    QLabel *label = WlDesign::Label(group, name, text, kHeadingLeft, kTop, 300);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel *Caption(QGroupBox *group, const QString &name, const QString &text)
{
    return WlDesign::Label(group, name, text, kCaptionLeft, kTop, kValueLeft - kCaptionLeft - 4);
}

QLabel *Value(QGroupBox *group, const QString &name)
{
    return WlDesign::Label(group, name, QString(), kValueLeft, kTop, 536 - kValueLeft);
}

} // namespace

TFrameWlProfConfirm::TFrameWlProfConfirm(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfConfirm1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::SUBPAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxConfirm = WlDesign::Group(this, QStringLiteral("GBoxConfirm"), QStringLiteral("Confirm New Settings"));
    LbNetworkInfo = Heading(GBoxConfirm, QStringLiteral("LbNetworkInfo"), QStringLiteral("Network Settings"));
    LbIP = Caption(GBoxConfirm, QStringLiteral("LbIP"), QStringLiteral("IP Address:"));
    LblIP = Value(GBoxConfirm, QStringLiteral("LblIP"));
    LbMask = Caption(GBoxConfirm, QStringLiteral("LbMask"), QStringLiteral("Subnet:"));
    LblMask = Value(GBoxConfirm, QStringLiteral("LblMask"));
    LbGateway = Caption(GBoxConfirm, QStringLiteral("LbGateway"), QStringLiteral("Gateway:"));
    LblGateway = Value(GBoxConfirm, QStringLiteral("LblGateway"));
    LbWirelessInfo = Heading(GBoxConfirm, QStringLiteral("LbWirelessInfo"), QStringLiteral("Wireless Settings"));
    LbSSID = Caption(GBoxConfirm, QStringLiteral("LbSSID"), QStringLiteral("SSID"));
    LblSSID = Value(GBoxConfirm, QStringLiteral("LblSSID"));
    LbWirelessMode = Caption(GBoxConfirm, QStringLiteral("LbWirelessMode"), QStringLiteral("Wireless Mode:"));
    LblWirelessMode = Value(GBoxConfirm, QStringLiteral("LblWirelessMode"));
    LbSecurity = Caption(GBoxConfirm, QStringLiteral("LbSecurity"), QStringLiteral("Security Mode:"));
    LblSecurity = Value(GBoxConfirm, QStringLiteral("LblSecurity"));
    LbInfo1 = Caption(GBoxConfirm, QStringLiteral("LbInfo1"), QString());
    LblInfo1 = Value(GBoxConfirm, QStringLiteral("LblInfo1"));
    LbInfo2 = Caption(GBoxConfirm, QStringLiteral("LbInfo2"), QString());
    LblInfo2 = Value(GBoxConfirm, QStringLiteral("LblInfo2"));
    LbInfo3 = Caption(GBoxConfirm, QStringLiteral("LbInfo3"), QString());
    LblInfo3 = Value(GBoxConfirm, QStringLiteral("LblInfo3"));
    LbComfirmMsg =
        WlDesign::Label(GBoxConfirm, QStringLiteral("LbComfirmMsg"),
                        QStringLiteral("Save or print your configuration settings (recommended)"), kHeadingLeft, 236, 330);
    BtnSave = WlDesign::Button(GBoxConfirm, QStringLiteral("BtnSave"), QStringLiteral("Save"), 352, 232);
    BtnPrint = WlDesign::Button(GBoxConfirm, QStringLiteral("BtnPrint"), QStringLiteral("Print"), 448, 232);
    LayoutRows();

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(BtnSave, &QPushButton::clicked, this, &TFrameWlProfConfirm::BtnSaveClick);
    connect(BtnPrint, &QPushButton::clicked, this, &TFrameWlProfConfirm::BtnPrintClick);
    connect(BtnExit, &QPushButton::clicked, this, &TFrameWlProfConfirm::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameWlProfConfirm::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameWlProfConfirm::BtnNextClick);
}

TFrameWlProfConfirm::~TFrameWlProfConfirm() = default;

void TFrameWlProfConfirm::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnSave);
    SkinButton(BtnPrint);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfConfirm::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

bool TFrameWlProfConfirm::NetworkBlockWanted()
{
    return true;
}

bool TFrameWlProfConfirm::NetworkBlockShown() const
{
    return !LbNetworkInfo->isHidden();
}

void TFrameWlProfConfirm::FillSummary()
{
    LayoutRows();
}

void TFrameWlProfConfirm::LayoutRows()
{
    const bool shown = NetworkBlockShown();
    // With the network block the wireless block starts below it; without it
    // the wireless block moves up to the top.
    const int base = shown ? kTop + 73 : kTop;
    const int first = shown ? kTop + 92 : kTop + 19;
    LbNetworkInfo->move(kHeadingLeft, kTop);
    QLabel *networkRows[3][2] = {{LbIP, LblIP}, {LbMask, LblMask}, {LbGateway, LblGateway}};
    for (int i = 0; i < 3; ++i) {
        networkRows[i][0]->move(kCaptionLeft, kTop + 19 + 18 * i);
        networkRows[i][1]->move(kValueLeft, kTop + 19 + 18 * i);
    }
    LbWirelessInfo->move(kHeadingLeft, base);
    QLabel *rows[6][2] = {{LbSSID, LblSSID},         {LbWirelessMode, LblWirelessMode},
                          {LbSecurity, LblSecurity}, {LbInfo1, LblInfo1},
                          {LbInfo2, LblInfo2},       {LbInfo3, LblInfo3}};
    for (int i = 0; i < 6; ++i) {
        rows[i][0]->move(kCaptionLeft, first + 18 * i);
        rows[i][1]->move(kValueLeft, first + 18 * i);
    }
}

QByteArray TFrameWlProfConfirm::SettingsSummary() const
{
    return QByteArray();
}

bool TFrameWlProfConfirm::SaveSummary(const QString &) const
{
    return false;
}

bool TFrameWlProfConfirm::PrintSummary(QPagedPaintDevice *) const
{
    return false;
}

void TFrameWlProfConfirm::SendProfile()
{
}

void TFrameWlProfConfirm::EndProgress(int)
{
}

void TFrameWlProfConfirm::HandleAppMessage(AppMessage *message)
{
    TFrameBase::HandleAppMessage(message);
}

void TFrameWlProfConfirm::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfConfirm::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlProfConfirm::BtnNextClick()
{
}

void TFrameWlProfConfirm::BtnSaveClick()
{
}

void TFrameWlProfConfirm::BtnPrintClick()
{
}
