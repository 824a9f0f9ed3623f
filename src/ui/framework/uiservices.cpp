#include "framework/uiservices.h"

#include "app/debug.h"
#include "platform/platform.h"
#ifndef Q_OS_WIN
#include "platform/linuxplatform.h"
#endif

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

UiServices *g_installed = nullptr;

#ifndef Q_OS_WIN
// The X connection the toolkit opened for its windows; null on Wayland,
// offscreen and before or after the application object.
xcb_connection_t *ToolkitX11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
#endif

UiServices *ProductServices()
{
    static DesktopUiServices services;
    return &services;
}

} // namespace

UiServices *Ui()
{
    if (!g_installed)
        SetUiServices(nullptr);
    return g_installed;
}

void SetUiServices(UiServices *services)
{
    g_installed = services ? services : ProductServices();
    SetMessageBoxService(g_installed);
}

DesktopUiServices::DesktopUiServices()
{
#ifndef Q_OS_WIN
    // Windows finds windows by title itself (FindWindow).
    LinuxPlatform::SetX11ConnectionSource(&ToolkitX11Connection);
#endif
}

int DesktopUiServices::ShowMessageBox(const QString &text, const QString &title, MsgKind kind)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    if (kind == MsgKind::YesNo) {
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MSG_RESULT_YES;
    case QMessageBox::No:
        return MSG_RESULT_NO;
    case QMessageBox::Ok:
        return MSG_RESULT_OK;
    default:
        return MSG_RESULT_NONE;
    }
}

QString DesktopUiServices::GetSaveFileName(QWidget *parent, const QString &filter, const QString &defaultName,
                                           const QString &defaultSuffix)
{
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!defaultName.isEmpty())
        dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool DesktopUiServices::Print(QWidget *parent, const QString &documentName, const PrintPainter &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QPainter painter;
    if (!painter.begin(&printer)) {
        DebugPrint("DesktopUiServices::Print() FAIL printer not started");
        return false;
    }
    if (paint)
        paint(painter);
    painter.end();
    return true;
}

bool DesktopUiServices::ShellOpen(const QString &target, ShellVerb verb)
{
    if (target.isEmpty())
        return false;
    const bool ok = verb == ShellVerb::Explore ? Platform::Current().ShellExplore(target)
                                                : Platform::Current().ShellOpen(target);
    if (!ok)
        DebugPrint("DesktopUiServices::ShellOpen() FAIL %s", qUtf8Printable(target));
    return ok;
}

bool DesktopUiServices::HasAssociatedProgram(const QString &path)
{
    return !Platform::Current().FindExecutable(path).isEmpty();
}

bool DesktopUiServices::TopLevelWindowExists(const QString &title)
{
    return Platform::Current().FindWindowByTitle(title);
}
