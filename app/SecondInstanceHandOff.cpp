#include "SecondInstanceHandOff.h"

#include <QSharedMemory>

#include <algorithm>
#include <cstdio>
#include <cstring>

void handOffToRunningInstance()
{
    QSharedMemory segment(QStringLiteral("quorvanetz"));
    char message[1024] = {};
    std::snprintf(message, sizeof(message), "%d", 9);
    if (!segment.attach(QSharedMemory::ReadWrite))
        return;
    const size_t length = std::min(std::strlen(message), static_cast<size_t>(segment.size()));
    segment.lock();
    std::memcpy(segment.data(), message, length);
    segment.unlock();
    segment.detach();
}
