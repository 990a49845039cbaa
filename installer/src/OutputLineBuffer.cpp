#include "OutputLineBuffer.h"

OutputLineBuffer::OutputLineBuffer(std::size_t maxLineBytes)
    : maxLineBytes_(maxLineBytes > 0 ? maxLineBytes : 1)
{
}

void OutputLineBuffer::Append(const char *data, std::size_t size)
{
    pending_.append(data, size);
}

bool OutputLineBuffer::TakeLine(std::string &line)
{
    const std::size_t lineFeed = pending_.find('\n');
    if (lineFeed != std::string::npos && lineFeed <= maxLineBytes_) {
        line.assign(pending_, 0, lineFeed);
        pending_.erase(0, lineFeed + 1);
        return true;
    }
    if (pending_.size() >= maxLineBytes_) {
        line.assign(pending_, 0, maxLineBytes_);
        pending_.erase(0, maxLineBytes_);
        return true;
    }
    return false;
}

bool OutputLineBuffer::TakeRest(std::string &line)
{
    if (TakeLine(line)) {
        return true;
    }
    if (pending_.empty()) {
        return false;
    }
    line.swap(pending_);
    pending_.clear();
    return true;
}
