#include "pages/device/framepassword.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/settingkeys.h"
#include "app/utility.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "skin/widgethelpers.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int PasswordMaxLength = 16;
} // namespace

TFramePassword::TFramePassword(QWidget *parent) : TFrameBase(parent)
{
    using namespace PageKit;
    std::tie(ImgBG, GBoxPassword) =
        PageFrame(this, PageHeight - 1, "GBoxPassword", ContentBox, QString(), true);
    LbPassword =
        Label(GBoxPassword, "LbPassword", QStringLiteral("Password:"), QRect(40, 80, 140, 21), RightAligned);

    EdtPassword = Edit(GBoxPassword, "EdtPassword", 192, 80, 180, PasswordMaxLength);
    EdtPassword->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever the style's own mask is.
    EdtPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

    LbDefPswd = Label(GBoxPassword, "LbDefPswd", QString(), QRect(192, 108, 300, 16));
    LbInfo1 = Label(GBoxPassword, "LbInfo1",
                    QStringLiteral("NOTE: For security purposed we recommend changing the default password "
                                   "after setup is complete."),
                    QRect(40, 170, 470, 40), Wrapped | Bold);
    {
        QPalette palette = LbInfo1->palette();
        palette.setColor(QPalette::WindowText, QColor(64, 64, 64));
        LbInfo1->setPalette(palette);
    }

    std::tie(BtnExit, BtnBack, BtnLogin) =
        WizardButtons(this, Post{WIZARD_EXIT}, Post{WIZARD_BACK}, &TFramePassword::Login, Focus::Style,
                      "BtnLogin", QStringLiteral("Login"));
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnLogin});
}

TFramePassword::~TFramePassword() = default;

bool TFramePassword::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack)
        EdtPassword->setText(g_Var.Password);
    // The hint always names the factory password, whatever the file says.
    LbDefPswd->setText(QStringLiteral("( default password : ") + QLatin1String(DEFAULT_PASSWORD) +
                       QStringLiteral(" )"));
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFramePassword::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    FocusEdit(EdtPassword);
    TFrameBase::Entered(fromPage, isBack, param);
}

void TFramePassword::Login()
{
    g_Var.Password = EdtPassword->text();
    m_login.RunForPage(*this, "TFramePassword::BtnLoginClick()", MessageKey::ER_LOGIN,
                       [this] { FocusEdit(EdtPassword); });
}

void TFramePassword::HandleAppMessage(AppMessage *message)
{
    m_login.HandleMessage(*message);
    TFrameBase::HandleAppMessage(message);
}
