#include "skin/applytexts.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/inifile.h"
#include "app/threadini.h"
#include "app/utility.h"
#include "controls/paintpanel.h"
#include "controls/sortlistview.h"

namespace {

// Largest number of integers a "_CtrlPos" value contributes.
constexpr int kMaxPosValues = 16;

bool IsComponent(const QObject *object)
{
    const QString name = object->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
        return false;
    return object->isWidgetType() || qobject_cast<const QAction *>(object);
}

void Collect(QObject *parent, std::vector<QObject *> &out)
{
    for (QObject *child : parent->children()) {
        if (IsComponent(child))
            out.push_back(child);
        // A nested page keeps its controls; an item view's children are its
        // own machinery.
        if (!child->isWidgetType() || IsFrameBoundary(child) || qobject_cast<QAbstractItemView *>(child))
            continue;
        Collect(child, out);
    }
}

QString ReadText(const IniFile &reader, const QString &section, const QString &key, const QString &current)
{
    return reader.ReadString(section, key, current);
}

} // namespace

void MarkAsFrame(QWidget *widget, bool on)
{
    if (widget)
        widget->setProperty(kFrameBoundaryProperty, on);
}

bool IsFrameBoundary(const QObject *object)
{
    if (!object || !object->isWidgetType())
        return false;
    return object->property(kFrameBoundaryProperty).toBool() || object->inherits("TFrameBase");
}

std::vector<QObject *> OwnedComponents(QObject *owner)
{
    std::vector<QObject *> out;
    if (owner)
        Collect(owner, out);
    return out;
}

void ApplyTexts(QWidget *container, const QString &section, const IniFile &reader)
{
    if (!container)
        return;
    if (!IsFrameBoundary(container))
        container->setWindowTitle(
            ReadText(reader, section, container->objectName(), container->windowTitle()));

    for (QObject *component : OwnedComponents(container)) {
        const QString name = component->objectName();
        if (auto *label = qobject_cast<QLabel *>(component)) {
            label->setText(ReadText(reader, section, name, label->text()));
        } else if (auto *check = qobject_cast<QCheckBox *>(component)) {
            check->setText(ReadText(reader, section, name, check->text()));
        } else if (auto *panel = qobject_cast<TPaintPanel *>(component)) {
            panel->SetCaption(ReadText(reader, section, name, panel->Caption()));
        } else if (auto *list = qobject_cast<QTreeWidget *>(component);
                   list && !qobject_cast<TSortListView *>(list)) {
            QTreeWidgetItem *head = list->headerItem();
            for (int i = 0; head && i < list->columnCount(); ++i) {
                // "%s_Col%d" of the list's name and the column index.
                const QString key = name + QLatin1String("_Col") + QString::number(i);
                head->setText(i, ReadText(reader, section, key, head->text(i)));
            }
        } else if (auto *button = qobject_cast<QPushButton *>(component)) {
            button->setText(ReadText(reader, section, name, button->text()));
        } else if (auto *radio = qobject_cast<QRadioButton *>(component)) {
            radio->setText(ReadText(reader, section, name, radio->text()));
        } else if (auto *group = qobject_cast<QGroupBox *>(component)) {
            QString caption = ReadText(reader, section, name, group->title());
            group->setTitle(PadCaption(caption));
        } else if (auto *action = qobject_cast<QAction *>(component)) {
            action->setText(ReadText(reader, section, name, action->text()));
        }
    }
}

void ApplyTexts(QWidget *container, const QString &section, GuardedIni &settings)
{
    IniLock lock(settings);
    ApplyTexts(container, section, lock.Reader());
}

void ApplyLayout(QWidget *control, const QString &path, const IniFile &reader)
{
    if (!control)
        return;
    const QString posSection = path + QLatin1String("_CtrlPos");
    const QString visSection = path + QLatin1String("_Visible");

    for (QObject *component : OwnedComponents(control)) {
        const QString name = component->objectName();
        if (auto *action = qobject_cast<QAction *>(component)) {
            action->setVisible(reader.ReadBool(visSection, name, action->isVisible()));
            continue;
        }
        auto *widget = qobject_cast<QWidget *>(component);
        if (!widget)
            continue;
        if (IsFrameBoundary(widget))
            ApplyLayout(widget, path + QLatin1Char('_') + name, reader);

        const QString text = reader.ReadString(posSection, name, QString()).trimmed();
        if (!text.isEmpty()) {
            int values[kMaxPosValues] = {};
            const int found = std::min(ParseIntList(text, values, kMaxPosValues), kMaxPosValues);
            QRect g = widget->geometry();
            if (found >= 1)
                g.moveLeft(values[0]);
            if (found >= 2)
                g.moveTop(values[1]);
            if (found >= 3)
                g.setWidth(values[2]);
            if (found >= 4)
                g.setHeight(values[3]);
            if (found >= 1)
                widget->setGeometry(g);
        }

        const bool visible = reader.ReadBool(visSection, name, !widget->isHidden());
        if (visible == widget->isHidden())
            widget->setVisible(visible);
    }
}

void ApplyLayout(QWidget *control, const QString &path, GuardedIni &settings)
{
    IniLock lock(settings);
    ApplyLayout(control, path, lock.Reader());
}
