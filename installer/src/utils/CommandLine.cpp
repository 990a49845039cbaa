#include "utils/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

namespace Utils {

namespace {

void SplitArgument(const std::wstring &argument, std::wstring &key, std::wstring &value)
{
    const std::size_t equals = argument.find(L'=');
    if (argument.empty() || argument[0] != L'-' || equals == std::wstring::npos) {
        key = argument;
        value.clear();
        return;
    }
    key = argument.substr(0, equals);
    value = argument.substr(equals + 1);
}

} // namespace

void CommandLine::Parse(const wchar_t *commandLine)
{
    if (commandLine == nullptr) {
        return;
    }
    int count = 0;
    LPWSTR *arguments = CommandLineToArgvW(commandLine, &count);
    if (arguments == nullptr) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        std::wstring key;
        std::wstring value;
        SplitArgument(arguments[i], key, value);
        values_.emplace(key, value);
    }
    LocalFree(arguments);
}

bool CommandLine::Has(const std::wstring &key) const
{
    return values_.find(key) != values_.end();
}

std::wstring CommandLine::Value(const std::wstring &key) const
{
    const auto found = values_.find(key);
    return found == values_.end() ? std::wstring() : found->second;
}

} // namespace Utils
