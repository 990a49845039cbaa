// Stand-in for the conversion engine "Morvex", for tests only. It is scripted by
// environment variables, which the test sets before Quorvane starts it:
//
//   MORVEX_LOG      file to which every run appends a record of how it was started:
//                       run
//                       cwd <working directory>
//                       tmp <TMPDIR>            when it is set
//                       arg [<argument>]        one line per argument, in order
//                       end
//                   (brackets delimit each argument, so empty ones show as "arg []").
//   MORVEX_SCRIPT   commands played in order, one per line:
//                       state <text>    appends the line <text> to the state file
//                                       (its folder is made when missing)
//                       states <n> <text>  appends the line <text> n times, in one go
//                       stdout <text>   prints <text> and a line ending
//                       output <text>   writes <text> into the output file of a
//                                       conversion (fourth argument); "output" alone leaves
//                                       it empty
//                       write <path>    writes "converted" into the file <path>, as an engine
//                                       that names its outputs itself
//                       tmpfile <name>  writes "temporary" into the file <name> in TMPDIR, as
//                                       a converter keeps its work
//                       sleep <ms>      waits
//                       child <ms>      starts a child process (a copy of the stand-in, as a
//                                       converter would be) that waits <ms> and ends
//                       daemon <ms>     starts a converter that leaves the engine's session
//                                       and process group as a daemon does (a session of its
//                                       own, then a second fork whose parent ends at once);
//                                       it waits <ms> and ends
//                       writer <ms>     starts a converter that appends a line to the output
//                                       file every 20 ms for <ms>, also after the engine ended
//                       ignore-term     ignores SIGTERM from now on, as do the converters it
//                                       starts afterwards
//                       flood <bytes>   prints that many bytes
//                       fifo <which>    makes a FIFO that nobody writes in place of the state
//                                       file ("state") or the output file ("output"), as a
//                                       broken or hostile engine could
//                       await <path>    waits until the file <path> exists (ten minutes at
//                                       most, beyond every bound of a test's wait), so
//                                       that a test holds the engine where it wants it
//                       exec <program>  runs program in its place, with the same arguments
//                       exit <code>     ends with that exit code
//                       abort           crashes by abort()
//                       kill            kills itself with SIGKILL
//                   "{output}" in a command stands for the output file's path.
//                   The script ends with exit code 0 when no command ended it before.
//   MORVEX_STATE    the state file's path; by default the third argument of a
//                   "getfilepagenum" run and the fifth argument of a conversion.
#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

void logRun(const std::vector<std::string> &arguments)
{
    const std::string logPath = environment("MORVEX_LOG");
    if (logPath.empty())
        return;
    std::error_code error;
    const std::string cwd = std::filesystem::current_path(error).string();
    std::ostringstream record;
    record << "run\ncwd " << cwd << '\n';
    if (std::getenv("TMPDIR"))
        record << "tmp " << environment("TMPDIR") << '\n';
    for (const std::string &argument : arguments)
        record << "arg [" << argument << "]\n";
    record << "end\n";
    std::ofstream(logPath, std::ios::app) << record.str();
}

std::string stateFilePath(const std::vector<std::string> &arguments)
{
    const std::string chosen = environment("MORVEX_STATE");
    if (!chosen.empty())
        return chosen;
    const size_t index = !arguments.empty() && arguments[0] == "getfilepagenum" ? 2 : 4;
    return index < arguments.size() ? arguments[index] : std::string();
}

void appendStateLine(const std::string &path, const std::string &line)
{
    if (path.empty())
        return;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::ofstream(path, std::ios::app) << line << '\n';
}

std::string outputFilePath(const std::vector<std::string> &arguments)
{
    return arguments.size() > 3 ? arguments[3] : std::string();
}

void makeFifo(const std::string &path)
{
    if (path.empty())
        return;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::filesystem::remove(path, error);
    mkfifo(path.c_str(), 0600);
}

void awaitFile(const std::string &path)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::string withOutputPath(std::string text, const std::string &outputPath)
{
    const std::string mark = "{output}";
    for (size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + outputPath.size()))
        text.replace(at, mark.size(), outputPath);
    return text;
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void startDaemon(int ms)
{
    if (fork() != 0)
        return;
    setsid();
    if (fork() != 0)
        _exit(0);
    sleepMs(ms);
    _exit(0);
}

void startWriter(const std::string &outputPath, int ms)
{
    if (fork() != 0)
        return;
    for (int written = 0; written < ms; written += 20) {
        std::ofstream(outputPath, std::ios::app) << "late\n";
        sleepMs(20);
    }
    _exit(0);
}

int playScript(char **argv, const std::string &statePath, const std::string &outputPath)
{
    std::istringstream script(environment("MORVEX_SCRIPT"));
    std::string line;
    while (std::getline(script, line)) {
        const size_t blank = line.find(' ');
        const std::string command = line.substr(0, blank);
        const std::string operand =
            withOutputPath(blank == std::string::npos ? "" : line.substr(blank + 1), outputPath);
        if (command == "state") {
            appendStateLine(statePath, operand);
        } else if (command == "states") {
            const size_t gap = operand.find(' ');
            std::string lines;
            for (long n = std::atol(operand.c_str()); n > 0; --n)
                lines += operand.substr(gap + 1) + '\n';
            appendStateLine(statePath, lines.substr(0, lines.empty() ? 0 : lines.size() - 1));
        } else if (command == "output") {
            std::ofstream(outputPath, std::ios::binary) << operand;
        } else if (command == "write") {
            std::ofstream(operand, std::ios::binary) << "converted";
        } else if (command == "tmpfile") {
            std::ofstream(environment("TMPDIR") + "/" + operand, std::ios::binary) << "temporary";
        } else if (command == "stdout") {
            std::cout << operand << std::endl;
        } else if (command == "sleep") {
            sleepMs(std::atoi(operand.c_str()));
        } else if (command == "child") {
            if (fork() == 0) {
                sleepMs(std::atoi(operand.c_str()));
                _exit(0);
            }
        } else if (command == "daemon") {
            startDaemon(std::atoi(operand.c_str()));
        } else if (command == "writer") {
            startWriter(outputPath, std::atoi(operand.c_str()));
        } else if (command == "ignore-term") {
            std::signal(SIGTERM, SIG_IGN);
        } else if (command == "flood") {
            const std::string block(65536, 'x');
            for (long left = std::atol(operand.c_str()); left > 0; left -= 65536)
                std::cout.write(block.data(), std::min<long>(left, 65536));
            std::cout.flush();
        } else if (command == "fifo") {
            makeFifo(operand == "output" ? outputPath : statePath);
        } else if (command == "await") {
            awaitFile(operand);
        } else if (command == "exec") {
            std::cout.flush();
            argv[0] = const_cast<char *>(operand.c_str());
            execv(operand.c_str(), argv);
            return 127;
        } else if (command == "exit") {
            return std::atoi(operand.c_str());
        } else if (command == "abort") {
            std::abort();
        } else if (command == "kill") {
            std::raise(SIGKILL);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    logRun(arguments);
    return playScript(argv, stateFilePath(arguments), outputFilePath(arguments));
}
