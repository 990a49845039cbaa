#pragma once

#include "NotifyMessage.h"

#include <windows.h>

namespace SkinUI {

// The one-operation interfaces through which windows and controls register with a window
// manager. Registrations stay owned by whoever registered them.

class INotifyUI
{
public:
    virtual void Notify(NotifyMessage &message) = 0;

protected:
    ~INotifyUI() = default;
};

class IMessageFilterUI
{
public:
    // Sets handled to end the processing of the message; the result is then the answer.
    virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

class ITranslateAccelerator
{
public:
    // 0 when the message was consumed.
    virtual LRESULT TranslateAccelerator(MSG *message) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

} // namespace SkinUI
