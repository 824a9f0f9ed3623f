#include "framework/dialogplacement.h"

#include "app/debug.h"
#include "messages/appmessage.h"

#include <QDialog>
#include <exception>

int ExecCenteredOver(QDialog &dialog, QWidget *page, const char *caller)
{
    try {
        QWidget *host = page ? page->window() : nullptr;
        if (host == page)
            host = nullptr;
        if (!host)
            host = qobject_cast<QWidget *>(MainWindow());
        if (host) {
            const QRect area = host->frameGeometry();
            // Integer division cuts toward zero, as the halves must.
            dialog.move(area.left() + (area.width() - dialog.width()) / 2,
                        area.top() + (area.height() - dialog.height()) / 2);
        }
        return dialog.exec();
    } catch (const std::exception &error) {
        DebugPrint("%s FAIL %s", caller, error.what());
    } catch (...) {
        DebugPrint("%s FAIL", caller);
    }
    return 0;
}
