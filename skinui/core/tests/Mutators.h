#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace SkinUI {
namespace Testing {

// Seeded damage for the robustness runs: a few edits per call (changed, inserted, cut and
// repeated pieces), the same for the same seed, so a failure reproduces.

// Damages bytes: flipped bits, random and interesting bytes, extreme 32-bit words, cuts.
class ByteMutator
{
public:
    explicit ByteMutator(uint32_t seed) : m_random(seed) {}

    std::vector<uint8_t> Mutate(const std::vector<uint8_t> &original, const char *interesting);
    size_t Next(size_t bound) { return bound == 0 ? 0 : m_random() % bound; }

private:
    std::mt19937 m_random;
};

// Damages texts: interesting characters, extreme numbers, surrogates and quotes, cuts and
// repeated pieces of the text itself.
class TextMutator
{
public:
    explicit TextMutator(uint32_t seed) : m_random(seed) {}

    std::wstring Mutate(const std::wstring &original, const wchar_t *interesting);
    size_t Next(size_t bound) { return bound == 0 ? 0 : m_random() % bound; }

private:
    std::mt19937 m_random;
};

// The time a robustness run may take, counted in the CPU time this process spends: on a busy
// machine the wall clock runs on while the process waits for a core, but one run's work stays
// the same, and so does the number of runs the budget allows.
class CpuBudget
{
public:
    explicit CpuBudget(std::chrono::milliseconds budget);
    bool Left() const { return ProcessCpuTime() < m_end; }

    // The longest time there is when the process's times cannot be read, so that no budget is
    // left and the test finds out.
    static std::chrono::milliseconds ProcessCpuTime();

private:
    std::chrono::milliseconds m_end;
};

} // namespace Testing
} // namespace SkinUI
