#include "framework/framebase.h"

#include "controls/timage.h"
#include "framework/pagekeys.h"
#include "framework/pagekit.h"
#include "framework/skinsupport.h"
#include "messages/appmessage.h"
#include "skin/applytexts.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QMetaObject>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>

TFrameBase::TFrameBase(QWidget *parent) : QFrame(parent)
{
    // The settings mechanisms stop at every page: it owns its own controls.
    MarkAsFrame(this);
    resize(600, 324);
}

TFrameBase::~TFrameBase() = default;

void TFrameBase::LoadPageTexts()
{
    PageKit::SkinBackground(m_skinBackground);
    for (QPushButton *button : m_skinButtons) {
        if (button)
            PageKit::SkinButton(button);
    }
    ApplyFormTexts(this, SectionName());
    ArrangeKeyboardOrder();
    PageKeys::NameControls(this);
}

void TFrameBase::ReleasePage()
{
}

bool TFrameBase::CanEnter(TFrameBase *fromPage, bool isBack, int)
{
    if (!isBack)
        m_prevPage = fromPage;
    return true;
}

void TFrameBase::Entered(TFrameBase *, bool, int)
{
}

bool TFrameBase::CanLeave(TFrameBase *, bool isBack, int)
{
    if (isBack)
        m_prevPage = nullptr;
    return true;
}

void TFrameBase::Left(TFrameBase *, bool, int)
{
}

QString TFrameBase::SectionName() const
{
    return QString::fromLatin1(metaObject()->className());
}

void TFrameBase::HandleAppMessage(AppMessage *)
{
}

void TFrameBase::PostWizardCommand(int command)
{
    PostAppMessage(MainWindow(), UM_WIZARD_COMMAND, command, 0);
}

void TFrameBase::SkinOnLoad(TImage *background, std::initializer_list<QPushButton *> buttons)
{
    m_skinBackground = background;
    m_skinButtons.assign(buttons.begin(), buttons.end());
}

namespace {

// The page's own push button called `name` (not one of a nested page).
QPushButton *OwnButton(const TFrameBase *page, const char *name)
{
    for (QPushButton *button : page->findChildren<QPushButton *>(QLatin1String(name))) {
        const QWidget *owner = button->parentWidget();
        while (owner && !IsFrameBoundary(owner))
            owner = owner->parentWidget();
        if (owner == page)
            return button;
    }
    return nullptr;
}

bool Press(const TFrameBase *page, QPushButton *button)
{
    if (!button)
        return false;
    if (button->isVisibleTo(page) && button->isEnabled())
        button->click();
    return true;
}

} // namespace

QPushButton *TFrameBase::PrimaryButton() const
{
    for (const char *name : {"BtnNext", "BtnLogin", "BtnCfg", "BtnStart"}) {
        if (QPushButton *button = OwnButton(this, name))
            return button;
    }
    return nullptr;
}

QPushButton *TFrameBase::ExitButton() const
{
    return OwnButton(this, "BtnExit");
}

bool TFrameBase::PressPrimary()
{
    return Press(this, PrimaryButton());
}

bool TFrameBase::PressExit()
{
    return Press(this, ExitButton());
}

void TFrameBase::FixKeyboardOrder(std::initializer_list<QWidget *> sequence)
{
    m_fixedOrder.assign(sequence.begin(), sequence.end());
}

void TFrameBase::PressPrimaryOnDoubleClick(QTreeWidget *list)
{
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (item)
            PressPrimary();
    });
}

std::vector<QWidget *> TFrameBase::KeyboardOrder()
{
    std::vector<QWidget *> order = PageKeys::ReadingOrder(this);
    // A fixed sequence fills the places its members hold in reading order,
    // in its own order.
    std::vector<size_t> places;
    for (size_t i = 0; i < order.size(); ++i) {
        if (std::any_of(m_fixedOrder.begin(), m_fixedOrder.end(),
                        [&](const QPointer<QWidget> &w) { return w == order[i]; }))
            places.push_back(i);
    }
    if (places.size() == m_fixedOrder.size()) {
        for (size_t i = 0; i < places.size(); ++i)
            order[places[i]] = m_fixedOrder[i];
    }
    QPushButton *primary = PrimaryButton();
    for (QWidget *button : {static_cast<QWidget *>(OwnButton(this, "BtnBack")),
                            static_cast<QWidget *>(primary), static_cast<QWidget *>(ExitButton())}) {
        auto at = std::find(order.begin(), order.end(), button);
        if (!button || at == order.end())
            continue;
        order.erase(at);
        order.push_back(button);
    }
    return order;
}

void TFrameBase::ArrangeKeyboardOrder()
{
    const std::vector<QWidget *> order = KeyboardOrder();
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QWidget *TFrameBase::EntryFocus()
{
    for (QWidget *control : PageKeys::ReadingOrder(this)) {
        if (!PageKeys::IsInputControl(control) || !control->isVisibleTo(this) || !control->isEnabled())
            continue;
        // In a group of radio buttons the keyboard lands on the chosen one.
        if (auto *radio = qobject_cast<QRadioButton *>(control)) {
            QList<QAbstractButton *> group;
            if (radio->group())
                group = radio->group()->buttons();
            else if (radio->autoExclusive() && radio->parentWidget())
                for (QRadioButton *sibling :
                     radio->parentWidget()->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly))
                    group << sibling;
            for (QAbstractButton *other : group) {
                if (other->isChecked() && other->isVisibleTo(this) && other->isEnabled())
                    return other;
            }
        }
        return control;
    }
    QPushButton *primary = PrimaryButton();
    return primary && primary->isVisibleTo(this) && primary->isEnabled() ? primary : nullptr;
}

void TFrameBase::TakeEntryFocus()
{
    PageKeys::NameControls(this);
    QWidget *focus = window()->focusWidget();
    if (focus && isAncestorOf(focus) && focus->isVisibleTo(this))
        return;
    // With nothing to take it (the success page shows only Back and Exit)
    // the page itself holds the focus: Return then presses nothing, Escape
    // and Tab work from there.
    QWidget *target = EntryFocus();
    (target ? target : this)->setFocus(Qt::OtherFocusReason);
}

void TFrameBase::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && PressPrimary()) {
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

bool TFrameBase::event(QEvent *event)
{
    if (event->type() == AppMessage::eventType()) {
        HandleAppMessage(static_cast<AppMessage *>(event));
        return true;
    }
    return QFrame::event(event);
}
