#include "utils/Pipe.h"

#include "utils/CloseHandleAndClear.h"
#include "utils/Exception.h"

namespace Utils {

Pipe::Pipe(int32_t readOption, int32_t writeOption)
    : readOption_(readOption), writeOption_(writeOption)
{
    SECURITY_ATTRIBUTES attributes = {};
    attributes.nLength = sizeof(attributes);
    attributes.bInheritHandle = TRUE;
    if (!CreatePipe(&readEnd_, &writeEnd_, &attributes, 0)) {
        Close();
        throw Exception();
    }
}

Pipe::~Pipe()
{
    Close();
}

void Pipe::Close()
{
    CloseHandleAndClear(writeEnd_);
    CloseHandleAndClear(readEnd_);
}

HANDLE Pipe::GiveReadEndToChild()
{
    SetHandleInformation(writeEnd_, HANDLE_FLAG_INHERIT, 0);
    return readEnd_;
}

HANDLE Pipe::GiveWriteEndToChild()
{
    SetHandleInformation(readEnd_, HANDLE_FLAG_INHERIT, 0);
    return writeEnd_;
}

void Pipe::CloseReadEnd()
{
    CloseHandleAndClear(readEnd_);
}

void Pipe::CloseWriteEnd()
{
    CloseHandleAndClear(writeEnd_);
}

} // namespace Utils
