// Every field table that a resource script of the project names keeps the byte form the reader
// relies on: each line ends with a blank before its line feed, and the text ends with two NUL bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The problem with a table's bytes, or "" when it is well formed.
std::string tableFault(const std::string& bytes)
{
    if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, std::string("\0\0", 2)) != 0)
        return "does not end with two NUL bytes";
    const std::string text = bytes.substr(0, bytes.size() - 2);
    if (text.find('\0') != std::string::npos) return "holds a NUL before its end";
    if (!text.empty() && text.back() != '\n') return "last line has no line feed";
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        if (at == 0 || text[at - 1] != ' ') return "a line does not end with a blank before its line feed";
    return "";
}

}  // namespace

TEST(FieldTableFiles, TheCheckTellsGoodFromBadBytes)
{
    struct Case { std::string bytes; bool good; };
    const Case cases[] = {
        {std::string("[Ranges] \n1 2 3 \n\0\0", 19), true},
        {std::string("[Ranges]\n\0\0", 11), false},      // no blank before the line feed
        {std::string("[Ranges] \n\0", 11), false},        // one NUL only
        {std::string("[Ranges] \r\n\0\0", 13), false},   // carriage return kept by a text checkout
    };
    for (const Case& c : cases) EXPECT_EQ(tableFault(c.bytes).empty(), c.good) << c.bytes;
}

TEST(FieldTableFiles, EveryTableNamedByAResourceScriptIsByteExact)
{
    const fs::path root = QV_SOURCE_DIR;
    const std::regex rcdata(R"re(^\s*\d+\s+RCDATA\s+"([^"]+\.ftb)")re");
    int checked = 0;
    for (const char* folder : {"resources", "tests"}) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (entry.path().extension() != ".rc") continue;
            std::ifstream script(entry.path());
            for (std::string line; std::getline(script, line);) {
                std::smatch match;
                if (!std::regex_search(line, match, rcdata)) continue;
                const fs::path table = root / match[1].str();
                ASSERT_TRUE(fs::exists(table)) << table;
                EXPECT_EQ(tableFault(readAll(table)), "") << table;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}
