// Replays a fuzz target's seed corpus and its saved crash inputs through LLVMFuzzerTestOneInput,
// so that the tests keep every input that once found a fault (the sanitizers of the native tree
// turn a relapse into a failure).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FuzzReplay, EverySeedAndSavedCrashRunsClean)
{
    const auto seeds = filesIn(QV_FUZZ_CORPUS_DIR);
    ASSERT_FALSE(seeds.empty()) << "no seed corpus in " << QV_FUZZ_CORPUS_DIR;
    auto inputs = seeds;
    const auto crashes = filesIn(QV_FUZZ_CRASH_DIR);
    inputs.insert(inputs.end(), crashes.begin(), crashes.end());
    for (const auto& path : inputs) {
        SCOPED_TRACE(path.string());
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        // A null pointer for an empty input, as libFuzzer may pass one.
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.empty() ? nullptr : bytes.data()),
                               bytes.size());
    }
}

}  // namespace
