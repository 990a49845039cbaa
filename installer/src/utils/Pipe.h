#pragma once

#include <windows.h>

#include <cstdint>

namespace Utils {

// An anonymous pipe whose ends are inheritable until one end is handed to a child.
// Throws Utils::Exception when the pipe cannot be made.
class Pipe
{
public:
    Pipe(int32_t readOption, int32_t writeOption);
    ~Pipe();
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;

    void Close();
    // Keeps the parent's end out of the child and returns the end the child gets.
    HANDLE GiveReadEndToChild();
    HANDLE GiveWriteEndToChild();
    void CloseReadEnd();
    void CloseWriteEnd();

    HANDLE ReadEnd() const { return readEnd_; }
    HANDLE WriteEnd() const { return writeEnd_; }

private:
    HANDLE writeEnd_ = nullptr;
    HANDLE readEnd_ = nullptr;
    // Kept as given; no caller gives them a meaning yet.
    int32_t readOption_;
    int32_t writeOption_;
};

} // namespace Utils
