#include "WorkspaceResources.h"

#include <QtGlobal>

static void registerWorkspaceResources()
{
    Q_INIT_RESOURCE(workspace);
}

void initWorkspaceResources()
{
    static const bool registered = (registerWorkspaceResources(), true);
    Q_UNUSED(registered);
}
