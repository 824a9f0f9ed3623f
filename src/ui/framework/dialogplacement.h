#pragma once
// Modal showing of the wizard's small dialogs (progress, WPS survey): placed
// centred over the window that holds the calling page, or over the
// application's main window when the page stands alone.

class QDialog;
class QWidget;

// Centres `dialog` over `page`'s window (halves cut toward zero) and shows it
// modally. Returns the modal result, or 0 when showing failed; a failure is
// logged once as "<caller> FAIL ...".
int ExecCenteredOver(QDialog &dialog, QWidget *page, const char *caller);
