// Anchor of the widget library: keeps the library non-empty and tells which
// Qt it was built against.
#include <QtGlobal>

const char *WizardUiQtVersion()
{
    return QT_VERSION_STR;
}
