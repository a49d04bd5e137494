#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string readAll(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(StrokeFontGeneration, CommittedTablesMatchTheSources)
{
    const std::string generated = readAll(QV_GENERATED_STROKE_DATA);
    ASSERT_FALSE(generated.empty()) << "the native build did not generate " << QV_GENERATED_STROKE_DATA;
    EXPECT_TRUE(generated == readAll(QV_COMMITTED_STROKE_DATA))
        << "toolkit/graphics/StrokeFontData.cpp is stale: build the target update_stroke_font_data and commit it";
}

}  // namespace
