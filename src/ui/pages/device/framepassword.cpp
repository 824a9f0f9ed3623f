#include "pages/device/framepassword.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/settingkeys.h"
#include "app/utility.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "protocol/formudp.h"
#include "skin/widgethelpers.h"
#include "wizard/formprogress.h"
#include "wizard/pagekit.h"
#include "wizard/timage.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <memory>

namespace {
constexpr int PasswordMaxLength = 16;
constexpr int LoginWaitMs = 5000;
constexpr int GetConfigWaitMs = 15000;
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

    auto dialog = std::make_unique<TFormProgress>();
    dialog->OnProcess = [] { FormUDP()->SendLogin(LoginWaitMs); };
    FormProgress = dialog.get();
    const int result = dialog->Execute(this);
    FormProgress = nullptr;
    dialog.reset();

    if (result == 1) {
        PostWizardCommand(WIZARD_NEXT);
        return;
    }
    DebugPrint("TFramePassword::BtnLoginClick() FAIL result %d", result);
    ShowMessage(MessageKey::ER_LOGIN);
    FocusEdit(EdtPassword);
    if (g_Var.NonWorking)
        PostWizardCommand(WIZARD_NEXT);
}

void TFramePassword::Close(int result)
{
    if (FormProgress)
        FormProgress->done(result);
}

void TFramePassword::HandleAppMessage(AppMessage *message)
{
    if (FormProgress) {
        if (message->id == UM_UDP_REPLY) {
            if (message->wParam == REQ_LOGIN) {
                if (message->lParam != 0)
                    FormUDP()->SendGetConfig(GetConfigWaitMs);
                else
                    Close(2);
            } else if (message->wParam == REQ_GET_CONFIG) {
                Close(1);
            }
        } else if (message->id == UM_UDP_TIMEOUT) {
            if (message->wParam == REQ_LOGIN || message->wParam == REQ_GET_CONFIG)
                Close(2);
        }
    }
    TFrameBase::HandleAppMessage(message);
}
