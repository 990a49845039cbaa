#include "utils/Exception.h"

#include "utils/Strings.h"

namespace Utils {

Exception::Exception(const std::wstring &message) : message_(ToNarrowString(message, 0)) {}

const char *Exception::what() const noexcept
{
    return message_.c_str();
}

} // namespace Utils
