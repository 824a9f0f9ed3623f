#include "pages/wireless/framewlprofconfirm.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/utility.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "framework/uiservices.h"
#include "messages/appmessage.h"
#include "protocol/devicewaits.h"
#include "protocol/formudp.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>

#include <utility>

namespace {

// Top of LbNetworkInfo inside the group; the other rows hang from it.
constexpr int kTop = 24;
constexpr int kHeadingLeft = 16;
constexpr int kCaptionLeft = 32;
constexpr int kValueLeft = 168;

QLabel *Heading(QGroupBox *group, const char *name, const QString &text)
{
    return PageKit::Label(group, name, text, QRect(kHeadingLeft, kTop, 300, 13), PageKit::Bold);
}

QLabel *Caption(QGroupBox *group, const char *name, const QString &text)
{
    return PageKit::Label(group, name, text, QRect(kCaptionLeft, kTop, kValueLeft - kCaptionLeft - 4, 13));
}

QLabel *Value(QGroupBox *group, const char *name)
{
    return PageKit::Label(group, name, QString(), QRect(kValueLeft, kTop, 536 - kValueLeft, 13));
}

} // namespace

TFrameWlProfConfirm::TFrameWlProfConfirm(QWidget *parent)
    : TFrameBase(parent), m_write({
                              .name = "TFrameWlProfConfirm::SendProfile()",
                              .kinds = {REQ_WL_SETTING, REQ_WL_STATION_SETTING},
                              .send = [this](TFormUDP &engine) { SendProfile(engine); },
                              .settleBeforeReadBack = DeviceWait::SettleAfterSetting,
                              .failed = &TFrameWlProfConfirm::LogFailure,
                          })
{
    setObjectName(QStringLiteral("FrameWlProfConfirm1"));
    std::tie(ImgBG, GBoxConfirm) =
        PageKit::PageFrame(this, PageKit::SubPageHeight, "GBoxConfirm", PageKit::ContentBox,
                           QStringLiteral("Confirm New Settings"));
    LbNetworkInfo = Heading(GBoxConfirm, "LbNetworkInfo", QStringLiteral("Network Settings"));
    LbIP = Caption(GBoxConfirm, "LbIP", QStringLiteral("IP Address:"));
    LblIP = Value(GBoxConfirm, "LblIP");
    LbMask = Caption(GBoxConfirm, "LbMask", QStringLiteral("Subnet:"));
    LblMask = Value(GBoxConfirm, "LblMask");
    LbGateway = Caption(GBoxConfirm, "LbGateway", QStringLiteral("Gateway:"));
    LblGateway = Value(GBoxConfirm, "LblGateway");
    LbWirelessInfo = Heading(GBoxConfirm, "LbWirelessInfo", QStringLiteral("Wireless Settings"));
    LbSSID = Caption(GBoxConfirm, "LbSSID", QStringLiteral("SSID"));
    LblSSID = Value(GBoxConfirm, "LblSSID");
    LbWirelessMode = Caption(GBoxConfirm, "LbWirelessMode", QStringLiteral("Wireless Mode:"));
    LblWirelessMode = Value(GBoxConfirm, "LblWirelessMode");
    LbSecurity = Caption(GBoxConfirm, "LbSecurity", QStringLiteral("Security Mode:"));
    LblSecurity = Value(GBoxConfirm, "LblSecurity");
    LbInfo1 = Caption(GBoxConfirm, "LbInfo1", QString());
    LblInfo1 = Value(GBoxConfirm, "LblInfo1");
    LbInfo2 = Caption(GBoxConfirm, "LbInfo2", QString());
    LblInfo2 = Value(GBoxConfirm, "LblInfo2");
    LbInfo3 = Caption(GBoxConfirm, "LbInfo3", QString());
    LblInfo3 = Value(GBoxConfirm, "LblInfo3");
    LbComfirmMsg = PageKit::Label(GBoxConfirm, "LbComfirmMsg",
                                  QStringLiteral("Save or print your configuration settings (recommended)"),
                                  QRect(kHeadingLeft, 236, 330, 13));
    BtnSave = PageKit::Button(GBoxConfirm, "BtnSave", QStringLiteral("Save"), QRect(352, 232, 85, 21),
                              PageKit::Focus::Strong);
    BtnPrint = PageKit::Button(GBoxConfirm, "BtnPrint", QStringLiteral("Print"), QRect(448, 232, 85, 21),
                               PageKit::Focus::Strong);
    LayoutRows();

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameWlProfConfirm::BtnExitClick, &TFrameWlProfConfirm::BtnBackClick,
                               &TFrameWlProfConfirm::BtnNextClick, PageKit::Focus::Strong);
    connect(BtnSave, &QPushButton::clicked, this, &TFrameWlProfConfirm::BtnSaveClick);
    connect(BtnPrint, &QPushButton::clicked, this, &TFrameWlProfConfirm::BtnPrintClick);
    SkinOnLoad(ImgBG, {BtnSave, BtnPrint, BtnExit, BtnBack, BtnNext});
}

TFrameWlProfConfirm::~TFrameWlProfConfirm() = default;

bool TFrameWlProfConfirm::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    // Coming back from the success page keeps the summary of the write.
    if (!isBack)
        FillSummary();
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

QString TFrameWlProfConfirm::PageText(const char *key, const char *def) const
{
    return g_Var.ReadString(SectionName(), QString::fromLatin1(key), QString::fromLatin1(def));
}

bool TFrameWlProfConfirm::NetworkBlockWanted()
{
    return g_Var.DeviceMode == DEVICE_AP || g_Var.WlMethod == WirelessMethod::Manual;
}

bool TFrameWlProfConfirm::NetworkBlockShown() const
{
    return !LbNetworkInfo->isHidden();
}

void TFrameWlProfConfirm::SetDetailRow(QLabel *caption, QLabel *value, const QString &captionText,
                                       const QString &valueText)
{
    caption->setText(captionText);
    value->setText(valueText);
}

void TFrameWlProfConfirm::FillSummary()
{
    for (QLabel *label : {LbInfo1, LblInfo1, LbInfo2, LblInfo2, LbInfo3, LblInfo3})
        label->clear();

    const IpConfigRecord &ip = g_Var.NewIpConfig;
    LblIP->setText(IpToText(ip.Ip));
    LblMask->setText(IpToText(ip.Netmask));
    LblGateway->setText(IpToText(ip.Gateway));

    const WlConfigRecord &wl = g_Var.NewWlConfig;
    LblSSID->setText(SsidText(wl.Ssid));
    LblWirelessMode->setText(WirelessModeName(wl.WirelessMode));
    switch (wl.SecurityMode) {
    case SECMODE_NONE:
        LblSecurity->setText(g_Var.SecurityNone);
        break;
    case SECMODE_WEP:
        LblSecurity->setText(g_Var.SecurityWEP);
        SetDetailRow(LbInfo1, LblInfo1, PageText("LbWEPMode", "WEP Key Length:"),
                     WepKeyLenName(wl.WepKeyLen));
        SetDetailRow(LbInfo2, LblInfo2, PageText("LbAuthen", "Authentication:"), AuthModeName(wl.AuthMode));
        SetDetailRow(LbInfo3, LblInfo3, PageText("LbKey", "Key:"), FieldText(wl.WepKey));
        break;
    case SECMODE_WPAPSK:
        LblSecurity->setText(g_Var.SecurityWPAPSK);
        SetDetailRow(LbInfo1, LblInfo1, PageText("LbWPAMode", "WPA Mode:"), WpaModeName(wl.WpaMode));
        SetDetailRow(LbInfo2, LblInfo2, PageText("LbCipher", "Cipher Type:"), WpaCipherName(wl.WpaCipher));
        SetDetailRow(LbInfo3, LblInfo3, PageText("LbKey", "Key:"), FieldText(wl.Passphrase));
        break;
    default:
        // A code the device does not know: shown as nothing rather than as a
        // wrong name.
        LblSecurity->clear();
        break;
    }

    const bool accessPoint = g_Var.DeviceMode == DEVICE_AP;
    BtnNext->setText(accessPoint ? PageText("BtnNext_AP", "Configure")
                                 : PageText("BtnNext_BRIDGE", "Connect"));
    LbWirelessInfo->setText(accessPoint ? PageText("LbWirelessInfo_AP", "Wireless Settings")
                                        : PageText("LbWirelessInfo_BRIDGE", "Wireless Profile"));

    const bool network = NetworkBlockWanted();
    for (QWidget *control :
         {static_cast<QWidget *>(LbNetworkInfo), static_cast<QWidget *>(LbIP), static_cast<QWidget *>(LblIP),
          static_cast<QWidget *>(LbMask), static_cast<QWidget *>(LblMask), static_cast<QWidget *>(LbGateway),
          static_cast<QWidget *>(LblGateway)})
        control->setVisible(network);
    LayoutRows();
}

void TFrameWlProfConfirm::LayoutRows()
{
    const int top = LbNetworkInfo->y();
    const bool network = NetworkBlockShown();
    const auto place = [](QWidget *control, int y) { control->move(control->x(), y); };

    QLabel *networkRows[3][2] = {{LbIP, LblIP}, {LbMask, LblMask}, {LbGateway, LblGateway}};
    for (int i = 0; i < 3; ++i) {
        place(networkRows[i][0], top + 19 + 18 * i);
        place(networkRows[i][1], top + 19 + 18 * i);
    }

    place(LbWirelessInfo, network ? top + 73 : top);
    const int first = network ? top + 92 : top + 19;
    QLabel *rows[6][2] = {{LbSSID, LblSSID},         {LbWirelessMode, LblWirelessMode},
                          {LbSecurity, LblSecurity}, {LbInfo1, LblInfo1},
                          {LbInfo2, LblInfo2},       {LbInfo3, LblInfo3}};
    for (int i = 0; i < 6; ++i) {
        place(rows[i][0], first + 18 * i);
        place(rows[i][1], first + 18 * i);
    }
}

QByteArray TFrameWlProfConfirm::SettingsSummary() const
{
    QString text;
    const auto heading = [&text](const QLabel *label) { text += label->text() + QStringLiteral("\r\n"); };
    const auto row = [&text](const QLabel *caption, const QLabel *value) {
        text +=
            QLatin1Char('\t') + caption->text() + QLatin1Char(' ') + value->text() + QStringLiteral("\r\n");
    };
    if (NetworkBlockShown()) {
        heading(LbNetworkInfo);
        row(LbIP, LblIP);
        row(LbMask, LblMask);
        row(LbGateway, LblGateway);
    }
    heading(LbWirelessInfo);
    row(LbSSID, LblSSID);
    row(LbWirelessMode, LblWirelessMode);
    row(LbSecurity, LblSecurity);
    const QLabel *details[3][2] = {{LbInfo1, LblInfo1}, {LbInfo2, LblInfo2}, {LbInfo3, LblInfo3}};
    for (const auto &detail : details)
        if (!detail[0]->text().isEmpty())
            row(detail[0], detail[1]);
    return text.toUtf8();
}

bool TFrameWlProfConfirm::SaveSummary(const QString &fileName) const
{
    // Written beside the target and renamed over it, so a failed write
    // never leaves a cut-off summary in place of an earlier one.
    QSaveFile file(fileName);
    const bool isNew = !QFileInfo::exists(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        DebugPrint("TFrameWlProfConfirm::SaveSummary() FAIL open %s: %s", qPrintable(fileName),
                   qPrintable(file.errorString()));
        return false;
    }
    // The summary holds the key in clear text: a new file is for its owner
    // only (an existing one keeps the mode its owner gave it).
    if (isNew && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        DebugPrint("TFrameWlProfConfirm::SaveSummary() FAIL permissions %s", qPrintable(fileName));
        file.cancelWriting();
        return false;
    }
    const QByteArray summary = SettingsSummary();
    if (file.write(summary) != summary.size() || !file.commit()) {
        DebugPrint("TFrameWlProfConfirm::SaveSummary() FAIL write %s: %s", qPrintable(fileName),
                   qPrintable(file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

void TFrameWlProfConfirm::PaintSummary(QPainter &painter) const
{
    QFont font = painter.font();
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetrics metrics(painter.font(), painter.device());

    constexpr int kHeadingX = 100;
    constexpr int kRowX = 200;
    int y = 0;
    const auto line = [&](int x, const QString &text) {
        // The line's top lies at y, as on the printer canvas of the product.
        painter.drawText(QPointF(x, y + metrics.ascent()), text);
        y += metrics.height();
    };
    const auto pair = [](const QString &format, const QLabel *caption, const QLabel *value) {
        return format.arg(caption->text(), value->text());
    };

    if (NetworkBlockShown()) {
        y += 100;
        line(kHeadingX, LbNetworkInfo->text());
        line(kRowX, pair(QStringLiteral("\t%1 %2"), LbIP, LblIP));
        line(kRowX, pair(QStringLiteral("%1 %2"), LbMask, LblMask));
        line(kRowX, pair(QStringLiteral("%1 %2"), LbGateway, LblGateway));
    }
    y += 100;
    line(kHeadingX, LbWirelessInfo->text());
    line(kRowX, pair(QStringLiteral("%1 %2"), LbSSID, LblSSID));
    line(kRowX, pair(QStringLiteral("%1 %2"), LbWirelessMode, LblWirelessMode));
    line(kRowX, pair(QStringLiteral("%1 %2"), LbSecurity, LblSecurity));
    const QLabel *details[3][2] = {{LbInfo1, LblInfo1}, {LbInfo2, LblInfo2}, {LbInfo3, LblInfo3}};
    for (const auto &detail : details)
        if (!detail[0]->text().isEmpty())
            line(kRowX, pair(QStringLiteral("%1 %2"), detail[0], detail[1]));
}

void TFrameWlProfConfirm::SendProfile(TFormUDP &engine)
{
    if (g_Var.DeviceMode == DEVICE_AP) {
        DebugPrint("DEVICE_AP");
        engine.SendWlSetting(DeviceWait::Setting);
    } else {
        DebugPrint("not DEVICE_AP");
        engine.SendWlStationSetting(DeviceWait::Setting);
    }
}

void TFrameWlProfConfirm::LogFailure(DeviceWrite::Failure why, int kind)
{
    using Failure = DeviceWrite::Failure;
    if (why == Failure::TimedOut) {
        DebugPrint("TFrameWlProfConfirm: FAIL time-out of request %d", kind);
        return;
    }
    static constexpr std::pair<Failure, const char *> kLines[] = {
        {Failure::NotLoggedIn, "TFrameWlProfConfirm::SendProfile() FAIL not logged in"},
        {Failure::LoginRefused, "TFrameWlProfConfirm: FAIL login refused"},
        {Failure::Refused, "TFrameWlProfConfirm: FAIL the device refused the wireless settings"},
        {Failure::Unanswered, "TFrameWlProfConfirm: FAIL no answer to the wireless settings"},
    };
    for (const auto &[failure, line] : kLines)
        if (failure == why)
            DebugPrint("%s", line);
}

void TFrameWlProfConfirm::HandleAppMessage(AppMessage *message)
{
    m_write.HandleMessage(*message);
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
    m_write.RunForPage(*this, "TFrameWlProfConfirm::BtnNextClick()", MessageKey::ER_CONNECT);
}

void TFrameWlProfConfirm::BtnSaveClick()
{
    const QString fileName = Ui()->GetSaveFileName(this, QString::fromLatin1(SaveFilter), QString(),
                                                   QString::fromLatin1(SaveDefaultSuffix));
    if (fileName.isEmpty())
        return;
    // A file that cannot be written is passed over without a message.
    SaveSummary(fileName);
}

void TFrameWlProfConfirm::BtnPrintClick()
{
    Ui()->Print(this, g_Var.AppTitle, [this](QPainter &painter) { PaintSummary(painter); });
}
