#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace Utils {

// The process command line as key/value pairs: "-key=value" gives the key "-key" (dash kept)
// and everything after the first "="; any other argument is a key with an empty value.
// Keys compare exactly, and a repeated key keeps its first value.
class CommandLine
{
public:
    void Parse(const wchar_t *commandLine);
    bool Has(const std::wstring &key) const;
    std::wstring Value(const std::wstring &key) const;
    std::size_t Count() const { return values_.size(); }

private:
    std::map<std::wstring, std::wstring> values_;
};

} // namespace Utils
