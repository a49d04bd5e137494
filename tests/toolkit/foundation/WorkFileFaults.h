// Failures of the work files' system steps on purpose, for the fault tables of every write path:
// while a WorkFileFault lives, the index-th time (from 0) its step comes, the step fails with the
// code (a write after writing `bytes` of its bytes: a short write). Without a fault it only counts
// the steps, so that a table can first learn how many writes a path makes, then fail each one.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <filesystem>
#include <set>
#include <string>

#include "toolkit/foundation/WorkFiles.h"

class WorkFileFault {
public:
    static constexpr int kNoFault = -1;

    explicit WorkFileFault(WorkFileStep step = WorkFileStep::Create, int index = kNoFault, int code = 0,
                           std::size_t bytes = 0)
    {
        Script& s = script();
        s = Script{};
        s.step = step;
        s.index = index;
        s.code = code;
        s.bytes = bytes;
        workFileFaultHooks().fault = &answer;
    }
    ~WorkFileFault() { workFileFaultHooks().fault = nullptr; }
    WorkFileFault(const WorkFileFault&) = delete;
    WorkFileFault& operator=(const WorkFileFault&) = delete;

    // How many times the step came while this fault lived.
    static int count(WorkFileStep step) { return script().counts[static_cast<std::size_t>(step)]; }
    // Whether the fault struck.
    static bool struck() { return script().struck; }

private:
    struct Script {
        WorkFileStep step = WorkFileStep::Create;
        int index = kNoFault;
        int code = 0;
        std::size_t bytes = 0;
        bool struck = false;
        std::array<int, 5> counts{};
    };
    static Script& script()
    {
        static Script s;
        return s;
    }
    static int answer(WorkFileStep step, std::size_t& bytes)
    {
        Script& s = script();
        const int seen = s.counts[static_cast<std::size_t>(step)]++;
        if (step != s.step || seen != s.index) return 0;
        s.struck = true;
        if (step == WorkFileStep::Write) bytes = std::min(bytes, s.bytes);
        return s.code;
    }
};

// The names in a folder, to show that no work file was left behind.
inline std::set<std::string> folderNames(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}
