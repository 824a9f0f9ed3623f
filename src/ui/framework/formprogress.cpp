#include "framework/formprogress.h"

#include "app/timing.h"
#include "controls/timage.h"
#include "framework/dialogplacement.h"
#include "framework/skinsupport.h"
#include "messages/appmessage.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

// What a screen reader learns of the dialog: a dialog named by its wait
// text that is busy for as long as it is shown.
class BusyDialogAccessible : public QAccessibleWidget
{
public:
    explicit BusyDialogAccessible(QWidget *dialog) : QAccessibleWidget(dialog, QAccessible::Dialog) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.busy = true;
        return s;
    }
};

QAccessibleInterface *ProgressAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("TFormProgress") && object && object->isWidgetType())
        return new BusyDialogAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

TFormProgress::TFormProgress(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormProgress"));
    setFixedSize(190, 50);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(20, 25, 150, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    TimerProc = new QTimer(this);
    TimerProc->setObjectName(QStringLiteral("TimerProc"));
    TimerProc->setInterval(Timing::Scaled(TickInterval));
    connect(TimerProc, &QTimer::timeout, this, &TFormProgress::TimerProcTimer);

    ImgBG = new TImage(this);
    ImgBG->setObjectName(QStringLiteral("ImgBG"));
    ImgBG->setGeometry(0, 0, 190, 50);
    // Pictures lie under the windowed controls, whatever their creation order.
    ImgBG->lower();

    LbWait = new QLabel(QStringLiteral("Please wait..."), this);
    LbWait->setObjectName(QStringLiteral("LbWait"));
    LbWait->setGeometry(20, 8, 150, 13);
    QFont bold = LbWait->font();
    bold.setBold(true);
    LbWait->setFont(bold);

    setWindowTitle(AppTitleText());
    ApplyFormTexts(this, QStringLiteral("FormProgress"));
    ImgBG->setPicture(SkinPicture(QStringLiteral("ImgBGProgress")));
    ApplyFormLayout(this, QStringLiteral("FormProgress"));

    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&ProgressAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setAccessibleName(LbWait->text());
    ProgressBar1->setAccessibleName(LbWait->text());
}

TFormProgress::~TFormProgress() = default;

ProgressResult TFormProgress::Execute(QWidget *page)
{
    return ProgressResult(ExecCenteredOver(*this, page, "TFormProgress::Execute()"));
}

void TFormProgress::done(int result)
{
    m_ended = true;
    TimerProc->stop();
    QDialog::done(result);
}

void TFormProgress::reject()
{
    // Escape and the window manager's close reach here; only the page, the
    // work or the time limit may end the wait.
}

void TFormProgress::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_ended = false;
    m_timerTag = 0;
    TimerProc->setInterval(Timing::Scaled(TickInterval));
    TimerProc->start();
}

void TFormProgress::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void TFormProgress::keyPressEvent(QKeyEvent *event)
{
    const bool altF4 = event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier);
    if (altF4 || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormProgress::TimerProcTimer()
{
    const int next = ProgressBar1->value() + 1;
    ProgressBar1->setValue(next > ProgressBar1->maximum() ? ProgressBar1->minimum() : next);

    if (m_timerTag == 0) {
        // The work runs with the timer stopped, so no tick can interrupt it.
        TimerProc->stop();
        m_timerTag = 1;
        if (OnProcess)
            OnProcess();
        if (!m_ended)
            TimerProc->start();
        return;
    }
    ++m_timerTag;
    if (m_timerTag > TickLimit)
        Close(ProgressResult::Failure);
}
