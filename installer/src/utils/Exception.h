#pragma once

#include <exception>
#include <string>

namespace Utils {

// Thrown only when a pipe or a child process cannot be made. The message is kept as text in
// the system ANSI code page.
class Exception : public std::exception
{
public:
    explicit Exception(const std::wstring &message = std::wstring());
    const char *what() const noexcept override;

private:
    std::string message_;
};

} // namespace Utils
