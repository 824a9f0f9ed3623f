#pragma once
// The manual wireless configuration: one wizard page that holds the profile
// sub-pages (network name, wireless mode, security, WEP key or passphrase,
// confirmation) and moves between them itself. While it is current the
// wizard window turns Next and Back into ProfileMove and leaves the page only
// when the sequence is finished in that direction. Engine messages that reach
// the page are passed on to the sub-page that is shown.

#include "framework/framebase.h"

#include <QList>

class TFrameWlProfBand;
class TFrameWlProfConfirm;
class TFrameWlProfPSK;
class TFrameWlProfSSID;
class TFrameWlProfSecurity;
class TFrameWlProfWEP;
class TFrameWlProfWlMode;
class TImage;

class TFrameWlProfile : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfile(QWidget *parent = nullptr);

    void LoadPageTexts() override;
    void ReleasePage() override;
    void Entered(TFrameBase *fromPage, bool isBack, int param) override;

    // Next (forward) or Back on a sub-page: true when the sequence is done in
    // that direction and the wizard should leave this page.
    bool ProfileMove(bool forward);
    bool ProfileNext();
    bool ProfileBack();
    // Switches to `target` (may be null); false when it refused to be entered.
    bool ShowSubPage(TFrameBase *target, bool isBack);

    TFrameBase *CurrentSubPage() const { return m_current; }

    // The keys of the sequence are those of its current inner page.
    QPushButton *PrimaryButton() const override;
    QPushButton *ExitButton() const override;

    TImage *ImgBG;
    TFrameWlProfBand *FrameWlProfBand1;
    TFrameWlProfSSID *FrameWlProfSSID1;
    TFrameWlProfWlMode *FrameWlProfWlMode1;
    TFrameWlProfSecurity *FrameWlProfSecurity1;
    TFrameWlProfWEP *FrameWlProfWEP1;
    TFrameWlProfPSK *FrameWlProfPSK1;
    TFrameWlProfConfirm *FrameWlProfConfirm1;

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    // The sub-pages in creation order.
    QList<TFrameBase *> SubPages() const;
    // Where Next on the security sub-page leads, by the chosen security
    // mode; null for a mode the sequence does not know.
    TFrameBase *SecurityTarget() const;

    TFrameBase *m_current = nullptr;
};
