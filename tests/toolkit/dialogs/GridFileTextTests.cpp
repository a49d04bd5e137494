// The text side of the grid files and the row sort without windows: fields split, unquoted and
// placed as a load takes them, quoting as a save writes it, HTML escaping and colours, and the
// partition sort against a reference sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/dialogs/GridFileText.h"
#include "toolkit/dialogs/GridRowSort.h"

namespace {

using Fields = std::vector<std::pair<std::string, bool>>;

Fields split(std::string_view bytes, std::size_t pieceSize = 3, std::size_t limit = kGridCsvPiece)
{
    Fields fields;
    GridCsvSplitter splitter(limit);
    const auto keep = [&](std::string text, bool lineEnd) { fields.emplace_back(std::move(text), lineEnd); };
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize)
        if (!splitter.feed(bytes.substr(at, pieceSize), keep)) return {{"overflow", false}};
    splitter.finish(keep);
    return fields;
}

}  // namespace

TEST(GridCsvText, FieldsAreSplitUnquotedAndTrimmedAcrossPieces)
{
    struct Case {
        const char* bytes;
        Fields fields;
    };
    const Case cases[] = {
        {"\"ab\",\"x\"\"y\"\r\n", {{"ab", false}, {"x\"y", true}}},
        {"1,2\n3", {{"1", false}, {"2", true}, {"3", true}}},           // the last line without a line feed is read
        {"\"a,b\",c\r\n", {{"a,b", false}, {"c", true}}},                // a comma inside quotes stays
        {"ab\"c,d\n", {{"ab\"c", false}, {"d", true}}},                  // an unquoted quote stays
        {"\"ab\"\"\"\"c\"\n", {{"ab\"\"c", true}}},
        {"  lead  ,\n", {{"  lead", false}, {"", true}}},                // leading blanks stay, trailing go
        {",,\r\n\r\n", {{"", false}, {"", false}, {"", true}, {"", true}}},
        {"\"\"\n", {{"", true}}},
        {"", {}},
        {"x,", {{"x", false}, {"", true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{1000}}) EXPECT_EQ(split(c.bytes, piece), c.fields);
    }
    // A field longer than the read buffer stops the reader.
    EXPECT_EQ(split(std::string(20, 'a') + "\n", 3, 16), (Fields{{"overflow", false}}));
    EXPECT_EQ(split(std::string(16, 'a') + "\n", 3, 16), (Fields{{std::string(16, 'a'), true}}));
}

TEST(GridCsvText, QuotingDoublesQuotesAndUnquotingCollapsesThem)
{
    EXPECT_EQ(YYCsvFieldOf("ab", true), "\"ab\"");
    EXPECT_EQ(YYCsvFieldOf("say \"hi\"", true), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(YYCsvFieldOf("say \"hi\"", false), "say \"hi\"");
    EXPECT_EQ(YYCsvFieldOf("", true), "\"\"");
    EXPECT_EQ(YYCsvFieldOf(std::string(40000, '"'), true).size(), kGridCsvFieldLimit - 1);
    std::string text = "a\"b";
    YYCsvQuote(text, 100);
    EXPECT_EQ(text, "a\"\"b");
    YYCsvField(text, 6);
    EXPECT_EQ(text, "a\"b   ");
    for (const char* raw : {"plain", "with \"quote\" inside", "\"\"", "a,b", " x "}) {
        SCOPED_TRACE(raw);
        std::string expected = raw;
        while (!expected.empty() && expected.back() == ' ') expected.pop_back();
        EXPECT_EQ(YYCsvFieldText(YYCsvFieldOf(raw, true)), expected);
    }
}

TEST(GridCsvText, PlacementFollowsLabelsAndNeverLeavesTheGrid)
{
    // 2 columns, 2 rows, a label line and row labels.
    GridCsvPlacement place(2, true, true);
    struct Step {
        bool lineEnd;
        GridCsvTarget::Kind kind;
        INTEGER column, row;
    };
    const Step steps[] = {
        {false, GridCsvTarget::CornerLabel, -1, -1}, {false, GridCsvTarget::ColumnLabel, 0, -1},
        {true, GridCsvTarget::ColumnLabel, 1, -1},   {false, GridCsvTarget::RowLabel, -1, 0},
        {false, GridCsvTarget::Cell, 0, 0},          {false, GridCsvTarget::Cell, 1, 0},
        {false, GridCsvTarget::Surplus, 2, 0},       {true, GridCsvTarget::Surplus, 2, 0},
        {true, GridCsvTarget::RowLabel, -1, 1},      {true, GridCsvTarget::RowLabel, -1, 2},
    };
    INTEGER index = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(index++);
        const GridCsvTarget target = place.next(2);
        if (index == 10) {
            EXPECT_EQ(target.kind, GridCsvTarget::Surplus);  // the third row is past the grid
        } else {
            EXPECT_EQ(target.kind, s.kind);
            if (s.kind != GridCsvTarget::Surplus) {
                EXPECT_EQ(target.column, s.column);
                EXPECT_EQ(target.row, s.row);
            }
        }
        place.advance(s.lineEnd);
    }
}

// A file far longer than the grid: the collector keeps the fields the grid can take, says what it
// left out, and asks for no more of the file once a line lies past the last row.
TEST(GridCsvText, CollectorKeepsWhatTheGridTakesAndStopsPastItsRows)
{
    GridCsvCollector collected(3, 40, false, false);
    std::string piece;
    for (int line = 0; line < 200; ++line) piece += std::to_string(line) + ",b,c,surplus\r\n";
    const std::size_t pieceLines = 200;
    std::size_t fed = 0;
    while (collected.feed(piece)) ++fed;
    EXPECT_EQ(fed, 0u);  // the first piece already holds a line past the 40 rows
    EXPECT_TRUE(collected.surplusRows());
    EXPECT_TRUE(collected.surplusColumns());
    ASSERT_EQ(collected.items().size(), 3u * 40u);
    EXPECT_EQ(collected.items().back().text, "c");
    EXPECT_EQ(collected.items().back().target.row, 39);
    EXPECT_EQ(collected.items()[3].text, "1");
    EXPECT_EQ(collected.nextRow(), 40);
    EXPECT_LT(collected.items().size(), pieceLines * 4);

    // A short file: every field kept, the line that ends early ends its row, nothing left out.
    GridCsvCollector small(3, 4, true, false);
    EXPECT_TRUE(small.feed("A,B,C\nx,\"y,z\"\n"));
    EXPECT_TRUE(small.feed("last"));
    small.finish();
    EXPECT_FALSE(small.surplusRows() || small.surplusColumns());
    ASSERT_EQ(small.items().size(), 6u);
    EXPECT_EQ(small.items()[0].target.kind, GridCsvTarget::ColumnLabel);
    EXPECT_EQ(small.items()[4].text, "y,z");
    EXPECT_TRUE(small.items()[4].lineEnd);
    EXPECT_EQ(small.items()[4].target.column, 1);
    EXPECT_EQ(small.items()[5].target.row, 1);
    EXPECT_EQ(small.nextRow(), 2);
}

TEST(GridHtmlText, TextsAreEscapedAndColoursWrittenRedGreenBlue)
{
    EXPECT_EQ(YYHtmlEscape("a<b>&\"c\"'"), "a&lt;b&gt;&amp;&quot;c&quot;'");
    EXPECT_EQ(YYHtmlColour(0x00FF0000), "0000ff");  // blue in the high byte
    EXPECT_EQ(YYHtmlColour(0x000080FF), "ff8000");
    EXPECT_EQ(YYHtmlColour(-1), "ffffff");
}

TEST(GridRowSort, KeysCompareTextsByCodeAndNumbersNumerically)
{
    const auto text = [](std::string t) { return GridSortKey{true, std::move(t), 0.0}; };
    const auto number = [](DOUBLE n) { return GridSortKey{false, {}, n}; };
    EXPECT_LT(YYGridCompareKeys(text(""), text("a")), 0);
    EXPECT_LT(YYGridCompareKeys(text("ab"), text("abc")), 0);
    EXPECT_GT(YYGridCompareKeys(text("\xE4"), text("z")), 0);  // codes above 127 sort after letters
    EXPECT_EQ(YYGridCompareKeys(text("A"), text("A")), 0);
    EXPECT_LT(YYGridCompareKeys(number(-1.5), number(2)), 0);
    EXPECT_TRUE(YYGridTextHas("xab  ", "ab ", false));
    EXPECT_TRUE(YYGridTextHas("xab", "AB", true));
    EXPECT_FALSE(YYGridTextHas("xab", "AB", false));
}

TEST(GridRowSort, PartitionSortAgreesWithAReferenceSortAndNeverSwapsEqualKeys)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const int rows = 1 + static_cast<int>(random() % 60);
        const bool texts = round % 2 == 0, descending = round % 3 == 0;
        std::vector<GridSortKey> keys;
        for (int r = 0; r < rows; ++r) {
            GridSortKey key;
            key.isText = texts;
            if (texts) key.text = std::string(random() % 3, static_cast<char>('a' + random() % 3));
            else key.number = static_cast<DOUBLE>(random() % 7) - 3.0;
            keys.push_back(key);
        }
        std::vector<GridSortKey> expected = keys;
        std::stable_sort(expected.begin(), expected.end(), [&](const GridSortKey& a, const GridSortKey& b) {
            return descending ? YYGridCompareKeys(b, a) < 0 : YYGridCompareKeys(a, b) < 0;
        });
        const int first = 2;  // any numbering the callbacks share
        bool equalSwapped = false;
        YYGridSortRows(
            first, first + rows - 1, descending, [&](INTEGER r) { return keys[static_cast<std::size_t>(r - first)]; },
            [&](INTEGER a, INTEGER b) {
                ASSERT_GE(a - first, 0);
                ASSERT_LT(b - first, rows);
                auto& x = keys[static_cast<std::size_t>(a - first)];
                auto& y = keys[static_cast<std::size_t>(b - first)];
                if (rows > 6 && YYGridCompareKeys(x, y) == 0) equalSwapped = true;
                std::swap(x, y);
            });
        for (int r = 0; r < rows; ++r) EXPECT_EQ(YYGridCompareKeys(keys[static_cast<std::size_t>(r)], expected[static_cast<std::size_t>(r)]), 0) << r;
        EXPECT_FALSE(equalSwapped);
    }
}
