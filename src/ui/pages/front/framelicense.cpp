#include "pages/front/framelicense.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "pages/front/licensetext.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QTextEdit>

namespace {

// Passes the licence page over without showing it.
constexpr BoolKey kSkipLicense{SECTION_SETTING, "SkipLicense", false};

} // namespace

TFrameLicense::TFrameLicense(QWidget *parent) : TFrameBase(parent)
{
    ImgBG = PageKit::Background(this, true);
    GBoxLicense =
        PageKit::Group(this, "GBoxLicense", PageKit::WideContentBox, QStringLiteral("License Agreement"));

    REdtLicense = new QTextEdit(GBoxLicense);
    REdtLicense->setObjectName(QStringLiteral("REdtLicense"));
    REdtLicense->setGeometry(12, 20, 552, 204);
    REdtLicense->setReadOnly(true);
    REdtLicense->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    REdtLicense->setAcceptRichText(true);

    ChkAccept = new QCheckBox(QStringLiteral("I accept the terms in the License Agreement."), GBoxLicense);
    ChkAccept->setObjectName(QStringLiteral("ChkAccept"));
    ChkAccept->setGeometry(12, 232, 552, 20);

    std::tie(BtnExit, BtnBack, BtnNext) = PageKit::WizardButtons(
        this, [this] { BtnExitClick(); }, [this] { BtnBackClick(); }, [this] { BtnNextClick(); });
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});

    connect(ChkAccept, &QCheckBox::toggled, this, [this] { ChkAcceptClick(); });
}

TFrameLicense::~TFrameLicense() = default;

bool TFrameLicense::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (isBack) {
        if (ReadFlag(kSkipLicense))
            BtnBackClick();
        return TFrameBase::CanEnter(fromPage, isBack, param);
    }

    if (ReadFlag(kSkipLicense) || g_Var.LicenseAccepted) {
        ChkAccept->setChecked(true);
        BtnNextClick();
        return TFrameBase::CanEnter(fromPage, isBack, param);
    }

    const QString name = ReadText(ProductKey::License);
    const QString path = name.isEmpty() ? QString() : ExeRelativePath(name);
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        // A document that cannot be read still has to be accepted; the view
        // stays empty then and the log says why.
        LoadLicenseFile(REdtLicense, path);
        ChkAccept->setChecked(false);
        return TFrameBase::CanEnter(fromPage, isBack, param);
    }

    // No licence document on the medium: nothing to accept.
    if (!name.isEmpty())
        DebugPrint("TFrameLicense::CanEnter() no licence file %s", qUtf8Printable(path));
    ChkAccept->setChecked(true);
    BtnNextClick();
    return true;
}

void TFrameLicense::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    BtnNext->setEnabled(ChkAccept->isChecked());
    TFrameBase::Entered(fromPage, isBack, param);
}

bool TFrameLicense::CanLeave(TFrameBase *toPage, bool isBack, int param)
{
    if (!isBack && ChkAccept->isChecked())
        g_Var.LicenseAccepted = true;
    return TFrameBase::CanLeave(toPage, isBack, param);
}

void TFrameLicense::ChkAcceptClick()
{
    BtnNext->setEnabled(ChkAccept->isChecked());
}

void TFrameLicense::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameLicense::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameLicense::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
