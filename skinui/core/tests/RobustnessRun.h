#pragma once

#include "Mutators.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace SkinUI {
namespace Testing {

// One robustness run: how many inputs go in, and what each of them costs.
//
// A run ends at its number of inputs or when its CPU budget is spent. With the environment
// variable SKINUI_ROBUSTNESS_MINUTES set to a number of minutes it goes on for that much CPU
// time instead, without a limit on the inputs: a long run by hand. Every run tells at its end
// how many inputs went in, the most CPU time one of them took, and the memory the process
// held after the first tenth of the run and at its end; every run, short or long, fails on an
// input that took more than a second of CPU time and on memory that kept growing after the
// first tenth.
class RobustnessRun
{
public:
    // growthPerInput: the bytes an input may leave behind for good, for a run whose inputs go
    // through a platform part that keeps something of each (0 for a run that stays flat).
    RobustnessRun(const char *name, std::chrono::milliseconds budget, int inputs,
                  size_t growthPerInput = 0);
    RobustnessRun(const RobustnessRun &) = delete;
    RobustnessRun &operator=(const RobustnessRun &) = delete;
    ~RobustnessRun();

    // Whether another input goes in; the time since the last call is the last input's.
    bool Next();
    // The number of the input that goes in now, from 0.
    int Index() const { return m_count - 1; }
    // The inputs that went in so far.
    int Count() const { return m_count; }
    bool IsLong() const { return m_long; }

    static const char *const kMinutesVariable;

private:
    static size_t CommittedBytes();
    void CheckMemory() const;

    std::string m_name;
    bool m_long;
    int m_limit;
    size_t m_growthPerInput;
    std::chrono::milliseconds m_budget;
    std::chrono::milliseconds m_start;
    std::chrono::milliseconds m_lastInput;
    std::chrono::milliseconds m_slowest{0};
    int m_count = 0;
    size_t m_warmBytes = 0;
    int m_warmCount = 0;
    bool m_warm = false;
};

} // namespace Testing
} // namespace SkinUI
