#include "ModalDialog.h"

#include "DimOverlayHost.h"
#include "WidgetUtils.h"

#include <QDialog>
#include <QPointer>

int execModalDialog(QDialog *dialog, QWidget *owner)
{
    if (!dialog)
        return 0;
    QPointer<QWidget> guardedOwner = owner;
    auto *host = dynamic_cast<DimOverlayHost *>(owner);
    if (host)
        host->showDimOverlay();
    centerOnWidget(dialog, owner, true);
    dialog->setFocus(Qt::OtherFocusReason);
    dialog->raise();
    const int result = dialog->exec();
    // The owner may have gone while the dialog ran its own event loop.
    if (host && guardedOwner)
        host->hideDimOverlay();
    return result;
}
