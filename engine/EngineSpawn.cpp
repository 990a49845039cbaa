#include "EngineSpawn.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr size_t kChildStackBytes = 128 * 1024;

// Everything the child needs, made ready before it exists: between its start and the
// engine's, it shares the caller's memory and may only make system calls.
struct ChildPlan
{
    const char *program = nullptr;
    char *const *argv = nullptr;
    char *const *envp = nullptr;
    const char *workingDirectory = nullptr; // null: the caller's
    int outputFd = -1;
    bool ownSession = false;
    pid_t parent = -1;
    volatile int error = 0; // set by the child when it gives up
};

[[noreturn]] void giveUp(ChildPlan &plan)
{
    plan.error = errno != 0 ? errno : ECHILD;
    _exit(127);
}

// A descriptor at 3 or above, so that setting up 0, 1 and 2 cannot overwrite it.
int aboveStandardDescriptors(int fd)
{
    return fd > STDERR_FILENO ? fd : ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
}

void closeDescriptorsFrom(int first)
{
#ifdef SYS_close_range
    if (::syscall(SYS_close_range, first, ~0U, 0) == 0)
        return;
#endif
    rlimit limit = {};
    const int last = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 65536
                         ? int(limit.rlim_cur)
                         : 65536;
    for (int fd = first; fd < last; ++fd)
        ::close(fd);
}

int startEngine(void *argument)
{
    ChildPlan &plan = *static_cast<ChildPlan *>(argument);
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    for (int number = 1; number < NSIG; ++number)
        ::sigaction(number, &byDefault, nullptr); // fails harmlessly for KILL and STOP
    if ((plan.ownSession ? ::setsid() : ::setpgid(0, 0)) < 0)
        giveUp(plan);
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        giveUp(plan);
    if (::getppid() != plan.parent) {
        errno = ESRCH; // the program ended before the signal was set
        giveUp(plan);
    }
    if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0)
        giveUp(plan);

    const int nullDevice = aboveStandardDescriptors(::open("/dev/null", O_RDWR | O_CLOEXEC));
    const int output = plan.outputFd >= 0 ? aboveStandardDescriptors(plan.outputFd) : nullDevice;
    if (nullDevice < 0 || output < 0 || ::dup2(nullDevice, STDIN_FILENO) < 0 ||
        ::dup2(output, STDOUT_FILENO) < 0 || ::dup2(nullDevice, STDERR_FILENO) < 0)
        giveUp(plan);
    if (plan.workingDirectory && ::chdir(plan.workingDirectory) != 0)
        giveUp(plan);
    closeDescriptorsFrom(STDERR_FILENO + 1);

    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execve(plan.program, plan.argv, plan.envp);
    giveUp(plan);
}

std::vector<char *> pointersTo(const std::vector<QByteArray> &items)
{
    std::vector<char *> pointers;
    for (const QByteArray &item : items)
        pointers.push_back(const_cast<char *>(item.constData()));
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

pid_t spawnEngineChild(const SpawnRequest &request, int &error)
{
    const std::vector<char *> argv = pointersTo(request.arguments);
    const std::vector<char *> envp = pointersTo(request.environment);
    ChildPlan plan;
    plan.program = request.program.constData();
    plan.argv = argv.data();
    plan.envp = envp.data();
    plan.workingDirectory =
        request.workingDirectory.isEmpty() ? nullptr : request.workingDirectory.constData();
    plan.outputFd = request.outputFd;
    plan.ownSession = request.background;
    plan.parent = ::getpid();

    void *stack = ::mmap(nullptr, kChildStackBytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (stack == MAP_FAILED) {
        error = errno;
        return -1;
    }
    // No handler of this program may run in the child while it shares the memory: every
    // signal waits until the child has reset them all.
    sigset_t all, previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &previous);
    // Like vfork: this thread goes on once the engine has replaced the child, or it gave up.
    const pid_t pid = ::clone(startEngine, static_cast<char *>(stack) + kChildStackBytes,
                              CLONE_VM | CLONE_VFORK | SIGCHLD, &plan);
    const int cloneError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::munmap(stack, kChildStackBytes);
    if (pid < 0) {
        error = cloneError;
        return -1;
    }
    if (plan.error != 0) {
        error = plan.error;
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return -1;
    }
    error = 0;
    return pid;
}
