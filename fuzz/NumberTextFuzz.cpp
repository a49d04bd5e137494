// Numbers written through any format text: the result always has the text's length, and no
// format reads or writes beyond it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzInput.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WErrorReportMode(kReportSilent);
    FuzzInput input(data, size);
    const auto integer = input.take<std::int32_t>();
    const auto real = input.take<float>();
    const auto dbl = input.take<double>();
    const auto length = static_cast<std::size_t>(input.take<std::uint8_t>());
    const std::string_view format = input.rest();

    const auto check = [length](const std::string& text) {
        if (text.size() != length) std::abort();
    };
    std::string text(length, ' ');
    IntegerToString(integer, text, format);
    check(text);
    text.assign(length, ' ');
    IRealToString(real, text, format);
    check(text);
    text.assign(length, ' ');
    IDoubleToString(dbl, text, format);
    check(text);

    std::string out;
    YYFormatWrite(true, integer, 0.0, format, out);
    YYFormatWrite(false, 0, dbl, format, out);
    text.assign(length, ' ');
    yyrea2st(real, text, format);
    text.assign(length, ' ');
    yydbl2st(dbl, text, format);
    text.assign(length, ' ');
    yyint2st(integer, text);
    text.assign(format);
    YYLeftJustify(text, length % 3 == 0 ? "L" : length % 3 == 1 ? "R" : "C");
    return 0;
}
