// A scripted user for the unchanged setup-wizard binary. Preloaded into the
// program (LD_PRELOAD), it starts with the QApplication and plays a script
// of steps against the widgets, found by object name, the way a person
// would: it clicks with the mouse, types with the keyboard, picks list rows
// and answers message boxes; or it uses the keyboard alone, pressing keys
// wherever the focus is. It never reaches into the program's own types,
// only into Qt's, so the binary under test is exactly the one users run.
//
// Environment:
//   WIZARD_DRIVER_SCRIPT  the script (one step per line, "#" comments,
//                         arguments split like a shell command line)
//   WIZARD_DRIVER_REPORT  the report: one line per step done, then PASS, or
//                         FAIL with the reason and the visible widgets
//
// Steps:
//   page NAME             wait until the widget NAME is shown
//   click NAME            click the shown, enabled widget NAME
//   type NAME TEXT        empty the edit NAME (or every edit inside NAME) and
//                         type TEXT into it (into its first edit)
//   choose NAME TEXT      pick TEXT in the drop-down list NAME
//   row NAME TEXT         click the row of the list NAME holding TEXT
//   message TEXT [BUTTON] wait for a message box saying TEXT, press BUTTON
//                         (its text without "&"; default: its default button)
//   expect NAME TEXT      the shown widget NAME reads TEXT
//   checked NAME          the shown check or radio button NAME is checked
//   key KEY [COUNT]       press KEY ("Return", "Space", "Tab", "Shift+Tab",
//                         "Down", "Escape", "Ctrl+A"...) COUNT times where the
//                         keyboard focus is
//   keys TEXT             type TEXT key by key where the focus is
//   focus NAME            wait until the keyboard focus is on NAME (or inside it)
//   listed NAME TEXT      wait until the list NAME holds a row showing TEXT
//   box TEXT              wait for a message box saying TEXT and leave it to
//                         the key steps that follow
//   nomouse               from here on any mouse press fails the run
//   sleep MS              let MS milliseconds pass
//   timeout SECONDS       how long later steps may wait (default 60)
//   dump                  write the shown widgets to the report
//
// A step waits until it can be done: its widget is shown, enabled and not
// behind a modal window. A message box that no step expects fails the run at
// once, so the report names the message instead of a time-out.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include <unistd.h>

namespace {

struct Step
{
    int line = 0;
    QStringList words;
    QString Text() const { return words.join(QLatin1Char(' ')); }
};

class Driver : public QObject
{
public:
    Driver(QList<Step> steps, const QString &reportPath, QObject *parent)
        : QObject(parent), m_steps(std::move(steps)), m_report(reportPath)
    {
        if (!m_report.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            qWarning("wizard driver: cannot write %s", qPrintable(reportPath));
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
        m_poll.start();
        m_stepClock.start();
    }

private:
    void Write(const QString &line)
    {
        m_report.write(line.toUtf8() + '\n');
        m_report.flush();
    }

    // Ends the program at once: a failed run must not wait for the modal
    // loops it may be stuck in.
    [[noreturn]] void Fail(const QString &why)
    {
        const Step last =
            m_index < m_steps.size() ? m_steps[m_index] : Step{0, {QStringLiteral("(after the end)")}};
        Write(QStringLiteral("FAIL line %1 (%2): %3").arg(last.line).arg(last.Text(), why));
        DumpWidgets();
        m_report.close();
        ::_exit(97);
    }

    void DumpWidgets()
    {
        if (QWidget *focus = Focused())
            Write(QStringLiteral("keyboard focus: %1 %2 in %3")
                      .arg(QString::fromLatin1(focus->metaObject()->className()), focus->objectName(),
                           focus->parentWidget() ? focus->parentWidget()->objectName() : QString()));
        if (QWidget *modal = QApplication::activeModalWidget())
            Write(QStringLiteral("modal window: %1 %2")
                      .arg(QString::fromLatin1(modal->metaObject()->className()), modal->objectName()));
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            Write(QStringLiteral("window %1 \"%2\"").arg(top->objectName(), top->windowTitle()));
            for (QWidget *child : top->findChildren<QWidget *>()) {
                if (!child->isVisible() || child->objectName().isEmpty())
                    continue;
                QString text = TextOf(child);
                Write(QStringLiteral("  %1 %2%3%4")
                          .arg(QString::fromLatin1(child->metaObject()->className()), child->objectName(),
                               child->isEnabled() ? QString() : QStringLiteral(" (disabled)"),
                               text.isNull() ? QString() : QStringLiteral(" \"%1\"").arg(text.left(80))));
            }
        }
    }

    static QString TextOf(QWidget *widget)
    {
        if (auto *label = qobject_cast<QLabel *>(widget))
            return label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            return button->text();
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            return edit->text();
        if (auto *combo = qobject_cast<QComboBox *>(widget))
            return combo->currentText();
        return QString();
    }

    // The one shown widget called `name` that the user can reach now; null
    // while there is none. Two shown widgets of one name fail the run.
    QWidget *Reachable(const QString &name, bool needEnabled = true)
    {
        QList<QWidget *> shown;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            if (top->objectName() == name)
                shown << top;
            for (QWidget *child : top->findChildren<QWidget *>(name)) {
                if (child->isVisible())
                    shown << child;
            }
        }
        if (shown.size() > 1)
            Fail(QStringLiteral("%1 widgets called %2 are shown").arg(shown.size()).arg(name));
        if (shown.isEmpty())
            return nullptr;
        QWidget *widget = shown.first();
        if (needEnabled && !widget->isEnabled())
            return nullptr;
        // Behind a modal window the user cannot reach it.
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != widget->window() && !modal->isAncestorOf(widget))
            return nullptr;
        return widget;
    }

    static QMessageBox *ShownMessageBox()
    {
        return qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    }

    static QString Plain(QString text) { return text.remove(QLatin1Char('&')); }

    // Runs a user action from the event loop, not from inside the poll: the
    // action may open a modal loop, and a timer never fires again while its
    // own handler is still running.
    void Later(std::function<void()> action) { QTimer::singleShot(0, this, std::move(action)); }

    void Poll()
    {
        if (m_index >= m_steps.size())
            return;
        if (!m_sleepUntil.isForever() && !m_sleepUntil.hasExpired())
            return;
        const Step &step = m_steps[m_index];
        const QString verb = step.words.value(0);
        if (verb != QLatin1String("message") && verb != QLatin1String("box")) {
            QMessageBox *box = ShownMessageBox();
            if (box && box != m_awaitedBox)
                Fail(QStringLiteral("unexpected message box \"%1\"").arg(box->text()));
        }
        if (Try(step)) {
            Write(QStringLiteral("done line %1 (%2) after %3 ms")
                      .arg(step.line)
                      .arg(step.Text())
                      .arg(m_stepClock.elapsed()));
            ++m_index;
            m_stepClock.restart();
            // Said at once: the last step may end the program.
            if (m_index == m_steps.size())
                Write(QStringLiteral("PASS %1 steps").arg(m_steps.size()));
            return;
        }
        if (m_stepClock.elapsed() > m_timeoutMs)
            Fail(QStringLiteral("not possible within %1 s").arg(m_timeoutMs / 1000));
    }

    QString Arg(const Step &step, int index)
    {
        if (index >= step.words.size())
            Fail(QStringLiteral("missing argument %1").arg(index));
        return step.words[index];
    }

    // One attempt at `step`; false while it cannot be done yet.
    bool Try(const Step &step)
    {
        const QString verb = step.words.value(0);
        if (verb == QLatin1String("page"))
            return Reachable(Arg(step, 1), false) != nullptr;
        if (verb == QLatin1String("click"))
            return Click(Arg(step, 1));
        if (verb == QLatin1String("type"))
            return Type(Arg(step, 1), Arg(step, 2));
        if (verb == QLatin1String("row"))
            return Row(Arg(step, 1), Arg(step, 2));
        if (verb == QLatin1String("choose"))
            return Choose(Arg(step, 1), Arg(step, 2));
        if (verb == QLatin1String("message"))
            return Message(Arg(step, 1), step.words.value(2));
        if (verb == QLatin1String("expect")) {
            QWidget *widget = Reachable(Arg(step, 1), false);
            return widget && TextOf(widget) == Arg(step, 2);
        }
        if (verb == QLatin1String("checked")) {
            auto *button = qobject_cast<QAbstractButton *>(Reachable(Arg(step, 1), false));
            return button && button->isChecked();
        }
        if (verb == QLatin1String("key"))
            return Key(Arg(step, 1), step.words.size() > 2 ? Arg(step, 2).toInt() : 1);
        if (verb == QLatin1String("keys"))
            return Keys(Arg(step, 1));
        if (verb == QLatin1String("focus")) {
            QWidget *widget = Reachable(Arg(step, 1), false);
            QWidget *focus = Focused();
            return widget && focus && (focus == widget || widget->isAncestorOf(focus));
        }
        if (verb == QLatin1String("listed")) {
            auto *list = qobject_cast<QTreeWidget *>(Reachable(Arg(step, 1), false));
            return list && !list->findItems(Arg(step, 2), Qt::MatchExactly, 0).isEmpty();
        }
        if (verb == QLatin1String("box")) {
            QMessageBox *box = ShownMessageBox();
            if (!box)
                return false;
            if (box->text() != Arg(step, 1))
                Fail(QStringLiteral("the message box says \"%1\"").arg(box->text()));
            m_awaitedBox = box;
            return true;
        }
        if (verb == QLatin1String("nomouse")) {
            qApp->installEventFilter(this);
            return true;
        }
        if (verb == QLatin1String("sleep")) {
            m_sleepUntil = QDeadlineTimer(Arg(step, 1).toInt());
            return true;
        }
        if (verb == QLatin1String("dump")) {
            DumpWidgets();
            return true;
        }
        if (verb == QLatin1String("timeout")) {
            m_timeoutMs = Arg(step, 1).toInt() * 1000;
            return true;
        }
        Fail(QStringLiteral("unknown step"));
    }

    bool Click(const QString &name)
    {
        QWidget *widget = Reachable(name);
        if (!widget)
            return false;
        // Check and radio buttons take clicks on their indicator and label,
        // which sit at the left; other buttons anywhere inside.
        QPoint at = widget->rect().center();
        if (qobject_cast<QRadioButton *>(widget) || qobject_cast<QCheckBox *>(widget))
            at = QPoint(qMin(8, widget->width() / 2), widget->height() / 2);
        QPointer<QWidget> target = widget;
        Later([target, at] {
            if (target)
                QTest::mouseClick(target, Qt::LeftButton, {}, at);
        });
        return true;
    }

    bool Type(const QString &name, const QString &text)
    {
        QWidget *widget = Reachable(name);
        if (!widget)
            return false;
        QList<QLineEdit *> edits;
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edits << edit;
        else
            edits = widget->findChildren<QLineEdit *>();
        if (edits.isEmpty())
            Fail(QStringLiteral("no edit in %1").arg(name));
        QList<QPointer<QLineEdit>> targets(edits.begin(), edits.end());
        Later([targets, text] {
            for (const QPointer<QLineEdit> &edit : targets) {
                if (!edit)
                    continue;
                edit->setFocus(Qt::MouseFocusReason);
                QTest::keyClick(edit, Qt::Key_End);
                while (edit && !edit->text().isEmpty() && edit->cursorPosition() > 0)
                    QTest::keyClick(edit, Qt::Key_Backspace);
            }
            QPointer<QLineEdit> first = targets.first();
            if (!first)
                return;
            first->setFocus(Qt::MouseFocusReason);
            QPointer<QWidget> window = first->window();
            // Each key goes where the focus is now, as the keyboard's would:
            // an edit may move the focus on by itself while being typed in.
            for (const QChar c : text) {
                QWidget *focus = window ? window->focusWidget() : nullptr;
                if (!focus)
                    return;
                QTest::keyClicks(focus, QString(c));
            }
        });
        return true;
    }

    // The widget the keys go to: the focus of the window in front.
    static QWidget *Focused()
    {
        if (QWidget *focus = QApplication::focusWidget())
            return focus;
        QWidget *top = QApplication::activeModalWidget();
        if (!top)
            top = QApplication::activeWindow();
        return top ? top->focusWidget() : nullptr;
    }

    bool Key(const QString &name, int count)
    {
        const QKeySequence sequence = QKeySequence::fromString(name, QKeySequence::PortableText);
        if (sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown)
            Fail(QStringLiteral("unknown key \"%1\"").arg(name));
        if (!Focused())
            return false;
        const QKeyCombination combination = sequence[0];
        Later([combination, count] {
            for (int i = 0; i < count; ++i) {
                QWidget *focus = Focused();
                if (!focus)
                    return;
                QTest::keyClick(focus, combination.key(), combination.keyboardModifiers());
            }
        });
        return true;
    }

    bool Keys(const QString &text)
    {
        if (!Focused())
            return false;
        Later([text] {
            for (const QChar c : text) {
                if (QWidget *focus = Focused())
                    QTest::keyClicks(focus, QString(c));
            }
        });
        return true;
    }

    // The guard of "nomouse": a keyboard-only run that sees a mouse press.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
            type == QEvent::MouseButtonRelease)
            Fail(QStringLiteral("a mouse event reached %1").arg(watched->objectName()));
        return QObject::eventFilter(watched, event);
    }

    bool Row(const QString &name, const QString &text)
    {
        auto *list = qobject_cast<QTreeWidget *>(Reachable(name));
        if (!list)
            return false;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            QTreeWidgetItem *item = list->topLevelItem(row);
            for (int column = 0; column < list->columnCount(); ++column) {
                if (item->text(column) != text)
                    continue;
                list->scrollToItem(item);
                const QPoint at = list->visualItemRect(item).center();
                QPointer<QWidget> viewport = list->viewport();
                Later([viewport, at] {
                    if (viewport)
                        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
                });
                return true;
            }
        }
        return false;
    }

    // A drop-down list: a click opens it, the arrow keys move to the entry
    // and Return picks it. Done once the list is closed showing the entry.
    bool Choose(const QString &name, const QString &text)
    {
        auto *combo = qobject_cast<QComboBox *>(Reachable(name));
        if (!combo)
            return false;
        const int index = combo->findText(text);
        if (index < 0) {
            QStringList entries;
            for (int i = 0; i < combo->count(); ++i)
                entries << combo->itemText(i);
            Fail(QStringLiteral("%1 has no entry \"%2\" (it has \"%3\")")
                     .arg(name, text, entries.join("\", \"")));
        }
        QAbstractItemView *view = combo->view();
        if (!view->isVisible()) {
            if (combo->currentIndex() == index && m_popupOpened) {
                m_popupOpened = false;
                m_popupRequested = false;
                return true;
            }
            if (!m_popupRequested) {
                m_popupRequested = true;
                QPointer<QComboBox> target = combo;
                Later([target] {
                    if (target)
                        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
                });
            }
            return false;
        }
        m_popupOpened = true;
        const int from = view->currentIndex().isValid() ? view->currentIndex().row() : combo->currentIndex();
        QPointer<QAbstractItemView> list = view;
        Later([list, from, index] {
            for (int row = from; list && row != index; row += index > from ? 1 : -1)
                QTest::keyClick(list, index > from ? Qt::Key_Down : Qt::Key_Up);
            if (list)
                QTest::keyClick(list, Qt::Key_Return);
        });
        return false;
    }

    bool Message(const QString &text, const QString &buttonText)
    {
        QMessageBox *box = ShownMessageBox();
        if (!box)
            return false;
        if (box->text() != text)
            Fail(QStringLiteral("the message box says \"%1\"").arg(box->text()));
        QAbstractButton *chosen = box->defaultButton();
        if (!buttonText.isEmpty()) {
            chosen = nullptr;
            for (QAbstractButton *button : box->buttons()) {
                if (Plain(button->text()) == buttonText)
                    chosen = button;
            }
            if (!chosen)
                Fail(QStringLiteral("the message box has no button \"%1\"").arg(buttonText));
        }
        if (!chosen && !box->buttons().isEmpty())
            chosen = box->buttons().first();
        QPointer<QAbstractButton> target = chosen;
        Later([target] {
            if (target)
                QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        });
        return true;
    }

    QList<Step> m_steps;
    QFile m_report;
    QTimer m_poll;
    QElapsedTimer m_stepClock;
    QDeadlineTimer m_sleepUntil{QDeadlineTimer::Forever};
    qsizetype m_index = 0;
    int m_timeoutMs = 60000;
    bool m_popupRequested = false; // Choose: the click that opens the list was made
    bool m_popupOpened = false;    // Choose: the list was seen open
    QPointer<QMessageBox> m_awaitedBox; // the box a "box" step leaves to the keys
};

QList<Step> ReadScript(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("cannot read the script %1").arg(path);
        return {};
    }
    QList<Step> steps;
    int number = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++number;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        steps.append(Step{number, QProcess::splitCommand(line)});
    }
    return steps;
}

void StartDriver()
{
    const QString script = qEnvironmentVariable("WIZARD_DRIVER_SCRIPT");
    const QString report = qEnvironmentVariable("WIZARD_DRIVER_REPORT");
    if (script.isEmpty() || report.isEmpty())
        return;
    QString error;
    QList<Step> steps = ReadScript(script, error);
    if (!error.isEmpty()) {
        QFile out(report);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write("FAIL " + error.toUtf8() + '\n');
        ::_exit(97);
    }
    // Start once the application is fully set up; only the widgets
    // application is driven (the program makes exactly one).
    QTimer::singleShot(0, QCoreApplication::instance(), [steps = std::move(steps), report] {
        if (qobject_cast<QApplication *>(QCoreApplication::instance()))
            new Driver(steps, report, QCoreApplication::instance());
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriver)
