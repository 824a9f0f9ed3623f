#pragma once
// TFramePassword: the login to the chosen device. "Login" stores the typed
// password in g_Var (it is also the key of every later request), logs in
// and, once the device accepts, reads the device's whole configuration
// before the wizard moves on. Both requests run under the progress dialog.

#include "framework/devicewrite.h"
#include "framework/framebase.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class TImage;
class TTrifaceBtn;

class TFramePassword : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFramePassword(QWidget *parent = nullptr);
    ~TFramePassword() override;

    // A forward entry shows the stored password; every entry writes the
    // factory password hint.
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;
    void Entered(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxPassword;
    QLabel *LbPassword;
    QLineEdit *EdtPassword;
    QLabel *LbDefPswd;
    QLabel *LbInfo1;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnLogin;

    // The progress dialog while a login runs, else nullptr.
    TFormProgress *ProgressDialog() const { return m_login.Dialog(); }

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    void Login();

    // The login is the write: its acceptance reads the configuration.
    DeviceWrite m_login{{.name = "TFramePassword::BtnLoginClick()"}};
};
