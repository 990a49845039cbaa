#include "ManagerProcessState.h"

namespace SkinUI {

ManagerProcessState &ManagerProcessState::Get()
{
    static ManagerProcessState state;
    return state;
}

} // namespace SkinUI
