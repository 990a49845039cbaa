// Stand-in for the conversion engine "Morvex", for tests only. It is scripted by
// environment variables, which the test sets before Quorvane starts it:
//
//   MORVEX_LOG      file to which every run appends a record of how it was started:
//                       run
//                       cwd <working directory>
//                       arg [<argument>]        one line per argument, in order
//                       end
//                   (brackets delimit each argument, so empty ones show as "arg []").
//   MORVEX_SCRIPT   commands played in order, one per line:
//                       state <text>    appends the line <text> to the state file
//                                       (its folder is made when missing)
//                       stdout <text>   prints <text> and a line ending
//                       output <text>   writes <text> into the output file of a
//                                       conversion (fourth argument)
//                       sleep <ms>      waits
//                       child <ms>      starts a child process (a copy of the stand-in, as a
//                                       converter would be) that waits <ms> and ends
//                       flood <bytes>   prints that many bytes
//                       exit <code>     ends with that exit code
//                       abort           crashes by abort()
//                       kill            kills itself with SIGKILL
//                   The script ends with exit code 0 when no command ended it before.
//   MORVEX_STATE    the state file's path; by default the third argument of a
//                   "getfilepagenum" run and the fifth argument of a conversion.
#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
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

int playScript(const std::string &statePath, const std::string &outputPath)
{
    std::istringstream script(environment("MORVEX_SCRIPT"));
    std::string line;
    while (std::getline(script, line)) {
        const size_t blank = line.find(' ');
        const std::string command = line.substr(0, blank);
        const std::string operand = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (command == "state") {
            appendStateLine(statePath, operand);
        } else if (command == "output") {
            std::ofstream(outputPath, std::ios::binary) << operand;
        } else if (command == "stdout") {
            std::cout << operand << std::endl;
        } else if (command == "sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(operand.c_str())));
        } else if (command == "child") {
            if (fork() == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(operand.c_str())));
                _exit(0);
            }
        } else if (command == "flood") {
            const std::string block(65536, 'x');
            for (long left = std::atol(operand.c_str()); left > 0; left -= 65536)
                std::cout.write(block.data(), std::min<long>(left, 65536));
            std::cout.flush();
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
    return playScript(stateFilePath(arguments), outputFilePath(arguments));
}
