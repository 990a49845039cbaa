#include "ShellResources.h"

#include <QtGlobal>

void initShellResources()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(shell);
        return true;
    }();
    Q_UNUSED(initialised);
}
