#include "pages/front/formautorun.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/timing.h"
#include "controls/skinimage.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/skinsupport.h"
#include "framework/uiservices.h"
#include "messages/appmessage.h"
#include "pages/front/userguide.h"
#include "skin/formres.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

TTrifaceBtn *MenuButton(QWidget *parent, const char *name, const QRect &geometry, const char *normal,
                        const char *down)
{
    auto *button = new TTrifaceBtn(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setCursor(Qt::PointingHandCursor);
    SetButtonFaces(button, QString::fromLatin1(normal), QString::fromLatin1(down), QString::fromLatin1(down));
    return button;
}

// The two document entries carry the built-in pictures of their own, which
// a skin folder does not replace.
TSkinImage *MenuEntry(QWidget *parent, const char *name, const QRect &geometry, const char *normal,
                      const char *down)
{
    auto *entry = new TSkinImage(parent);
    entry->setObjectName(QString::fromLatin1(name));
    entry->setGeometry(geometry);
    entry->setCursor(Qt::PointingHandCursor);
    entry->SetImageSource(gsrcImage);
    entry->SetMouseOverEffect(true);
    FormRes(); // the built-in artwork is registered with the store
    for (const auto &[index, picture] : {std::pair{1, down}, std::pair{0, normal}}) {
        QString error;
        const QImage image =
            TFormRes::LoadPictureFile(QStringLiteral(":/skin/%1.jpg").arg(QLatin1String(picture)), &error);
        if (image.isNull())
            DebugPrint("TFormAutorun: picture %s FAIL: %s", picture, qUtf8Printable(error));
        entry->SetImage(index, QPixmap::fromImage(image));
    }
    entry->hide();
    return entry;
}

} // namespace

TFormAutorun::TFormAutorun(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormAutorun"));
    setFixedSize(600, 450);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    ImgBG = new TImage(this);
    ImgBG->setObjectName(QStringLiteral("ImgBG"));
    ImgBG->setGeometry(0, 0, 600, 450);

    BtnSetupWizard = MenuButton(this, "BtnSetupWizard", QRect(356, 94, 197, 32), "ImgBtnSetupWizardN",
                                "ImgBtnSetupWizardD");
    BtnUG = MenuButton(this, "BtnUG", QRect(356, 143, 197, 31), "ImgBtnUGN", "ImgBtnUGD");
    BtnUG_UG = MenuEntry(this, "BtnUG_UG", QRect(356, 176, 197, 21), "ImgBtnUG_UGN", "ImgBtnUG_UGD");
    BtnUG_QIG = MenuEntry(this, "BtnUG_QIG", QRect(356, 195, 197, 21), "ImgBtnUG_QIGN", "ImgBtnUG_QIGD");
    BtnProductReg =
        MenuButton(this, "BtnProductReg", QRect(356, 237, 197, 30), "ImgBtnProductRegN", "ImgBtnProductRegD");
    BtnExit = MenuButton(this, "BtnExit", QRect(356, 284, 197, 31), "ImgBtnExitN", "ImgBtnExitD");

    TimerInstAcrobat = new QTimer(this);
    TimerInstAcrobat->setObjectName(QStringLiteral("TimerInstAcrobat"));
    TimerInstAcrobat->setInterval(Timing::Scaled(2000));
    UserGuide = new UserGuideLauncher(TimerInstAcrobat, this);

    setWindowTitle(AppTitleText());
    ApplyFormTexts(this, QStringLiteral("FormAutorun"));
    ImgBG->setPicture(SkinPicture(QStringLiteral("ImgBGAutorun")));
    ApplyFormLayout(this, QStringLiteral("FormAutorun"));

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The entries are pictures; a screen reader speaks these names instead
    // (a caption from the settings file wins over them).
    for (const auto &[entry, name] : {std::pair<QWidget *, const char *>{BtnSetupWizard, "Setup Wizard"},
                                      {BtnUG, "User Guide"},
                                      {BtnUG_UG, "User's Guide"},
                                      {BtnUG_QIG, "Quick Installation Guide"},
                                      {BtnProductReg, "Product Registration"},
                                      {BtnExit, "Exit"}}) {
        auto *button = qobject_cast<QAbstractButton *>(entry);
        if (!button || button->text().isEmpty())
            entry->setAccessibleName(QString::fromLatin1(name));
    }

    connect(ImgBG, &TImage::leftDragged, this, &TFormAutorun::StartDrag);
    connect(BtnSetupWizard, &QPushButton::clicked, this, &TFormAutorun::BtnSetupWizardClick);
    connect(BtnUG, &QPushButton::clicked, this, &TFormAutorun::BtnUGClick);
    connect(BtnUG_UG, &TSkinImage::clicked, this, &TFormAutorun::BtnUG_UGClick);
    connect(BtnUG_QIG, &TSkinImage::clicked, this, &TFormAutorun::BtnUG_QIGClick);
    connect(BtnProductReg, &QPushButton::clicked, this, &TFormAutorun::BtnProductRegClick);
    connect(BtnExit, &QPushButton::clicked, this, &TFormAutorun::BtnExitClick);
}

TFormAutorun::~TFormAutorun() = default;

void TFormAutorun::SetWizard(QDialog *wizard)
{
    m_wizard = wizard;
}

void TFormAutorun::BtnSetupWizardClick()
{
    if (!m_wizard) {
        DebugPrint("TFormAutorun::BtnSetupWizardClick() FAIL no wizard window");
        return;
    }
    hide();
    const int result = m_wizard->exec();
    if (result == 1)
        close();
    else
        show();
}

void TFormAutorun::BtnUGClick()
{
    AutorunUGExpanded = !AutorunUGExpanded;
    const int shift = AutorunUGExpanded ? SubmenuHeight : -SubmenuHeight;
    BtnProductReg->move(BtnProductReg->x(), BtnProductReg->y() + shift);
    BtnExit->move(BtnExit->x(), BtnExit->y() + shift);
    BtnUG_UG->setVisible(AutorunUGExpanded);
    BtnUG_QIG->setVisible(AutorunUGExpanded);
}

void TFormAutorun::BtnUG_UGClick()
{
    UserGuide->Run();
}

void TFormAutorun::BtnUG_QIGClick()
{
    // A folder on the medium, resolved against the current folder; settings
    // files written on the other platform separate it with backslashes.
    QString folder = ReadText(ProductKey::QIG);
    folder.replace(u'\\', u'/');
    // Started from the medium, the current folder is the program's own.
    // Installed and started from a desktop menu it is the user's home: a
    // folder found there first still wins, else the one beside the program.
    if (QDir::isRelativePath(folder) && !QFileInfo(folder).isDir() &&
        QFileInfo(ExeRelativePath(folder)).isDir())
        folder = ExeRelativePath(folder);
    Ui()->ShellOpen(folder, ShellVerb::Explore);
}

void TFormAutorun::BtnProductRegClick()
{
    const QString target = ReadText(ProductKey::ProductReg);
    if (!target.isEmpty())
        Ui()->ShellOpen(target, ShellVerb::Open);
}

void TFormAutorun::BtnExitClick()
{
    close();
}

void TFormAutorun::StartDrag()
{
    ++m_dragRequests;
    if (QWindow *window = windowHandle())
        window->startSystemMove();
}

void TFormAutorun::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit Closed();
}

void TFormAutorun::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        BtnExitClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TFormAutorun::event(QEvent *event)
{
    if (event->type() == AppMessage::eventType()) {
        auto *message = static_cast<AppMessage *>(event);
        switch (message->id) {
        case UM_WIZARD_COMMAND:
        case UM_UDP_REPLY:
        case UM_UDP_TIMEOUT:
        case UM_UDP_EVENT:
            SetAppMessageResult(
                message, SendAppMessage(m_wizard.data(), message->id, message->wParam, message->lParam));
            break;
        default:
            break;
        }
        return true;
    }
    return QWidget::event(event);
}
