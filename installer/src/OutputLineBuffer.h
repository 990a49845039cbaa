#pragma once

#include <cstddef>
#include <string>

// Gathers a child's output as it arrives in pieces and hands it back in whole lines, so that
// a line split between two reads (or a character split inside it) is parsed once, whole.
class OutputLineBuffer
{
public:
    // A line that grows past maxLineBytes without a line feed is handed out in pieces of that
    // size, so that output without line feeds cannot use up memory.
    explicit OutputLineBuffer(std::size_t maxLineBytes = 64 * 1024);

    void Append(const char *data, std::size_t size);
    // The next complete line without its line feed (a carriage return before it stays).
    bool TakeLine(std::string &line);
    // The last piece, which no line feed ended; for the end of the output.
    bool TakeRest(std::string &line);

private:
    std::string pending_;
    std::size_t maxLineBytes_;
};
