#pragma once
// Everything the windows and pages ask of the desktop: message boxes, the
// file-save dialog, the print dialog with its printer canvas, and the shell
// (open a document, folder or address; is a program associated with a file;
// is a top-level window with a given title on screen). Pages never call
// QMessageBox, QFileDialog, QPrintDialog or the platform layer themselves,
// so tests can install a recorder that answers from a script and never
// blocks on a real modal box.

#include "app/messagebox.h"

#include <QString>
#include <functional>

class QPainter;
class QWidget;

// How the shell opens a target: "open" starts the associated program (or the
// browser for an address); "explore" shows a folder in the file manager.
enum class ShellVerb {
    Open,
    Explore,
};

// Paints one print job. The painter is already active on the chosen printer
// (or on the recorder's canvas in tests); device units are the printer's.
using PrintPainter = std::function<void(QPainter &painter)>;

class UiServices : public MessageBoxService
{
public:
    // Asks for a file to save to. `filter` is a dialog filter such as
    // "Text File (*.txt)"; `defaultName` is the proposed file name and
    // `defaultSuffix` the extension appended when the user types none.
    // Returns the chosen path, or an empty text when the user cancelled.
    virtual QString GetSaveFileName(QWidget *parent, const QString &filter, const QString &defaultName,
                                    const QString &defaultSuffix) = 0;

    // Shows the print dialog; when the user accepts, begins a document named
    // `documentName` on the chosen printer, calls `paint` once and ends the
    // document. Returns false when the user cancelled or the printer could
    // not be started (then `paint` is not called).
    virtual bool Print(QWidget *parent, const QString &documentName, const PrintPainter &paint) = 0;

    // Hands `target` (a file or folder path, or an address) to the shell.
    // True when the shell accepted it (the product's "above 32").
    virtual bool ShellOpen(const QString &target, ShellVerb verb) = 0;

    // Whether a program is associated with the file `path`; false is the
    // "no association" answer that leads to the reader installation offer.
    virtual bool HasAssociatedProgram(const QString &path) = 0;

    // Whether a top-level window titled exactly `title` exists on the desktop.
    virtual bool TopLevelWindowExists(const QString &title) = 0;
};

// The installed services. Never null: before anything is installed the
// product implementation is created on first use. Installing also makes the
// services the message-box service of the core library. The caller keeps
// ownership of what it installs; installing nullptr returns to the product
// implementation.
UiServices *Ui();
void SetUiServices(UiServices *services);

// The product implementation: QMessageBox titled by the caller, QFileDialog,
// QPrintDialog on a QPrinter, and the platform layer for the shell and the
// window lookup (which it gives the toolkit's X connection).
class DesktopUiServices : public UiServices
{
public:
    DesktopUiServices();
    int ShowMessageBox(const QString &text, const QString &title, MsgKind kind) override;
    QString GetSaveFileName(QWidget *parent, const QString &filter, const QString &defaultName,
                            const QString &defaultSuffix) override;
    bool Print(QWidget *parent, const QString &documentName, const PrintPainter &paint) override;
    bool ShellOpen(const QString &target, ShellVerb verb) override;
    bool HasAssociatedProgram(const QString &path) override;
    bool TopLevelWindowExists(const QString &title) override;
};
