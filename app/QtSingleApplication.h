#pragma once

#include <QApplication>

#include <memory>

class InstanceLock;

// The widgets application object that knows whether another instance of the same program
// already runs for this user. The first instance holds a lock for its whole life; the
// operating system drops it when the process ends, even by a crash, so a dead instance
// never blocks the next start.
class QtSingleApplication : public QApplication
{
    Q_OBJECT

public:
    QtSingleApplication(int &argc, char **argv, bool GUIenabled = true);
    ~QtSingleApplication() override;

    bool isRunning() const;

private:
    std::unique_ptr<InstanceLock> m_lock;
};
