// The toolkit's number parsers on any text: no crash, no undefined behaviour, a failure leaves 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzInput.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberParse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WErrorReportMode(kReportSilent);
    FuzzInput input(data, size);
    const std::string_view text = input.rest();

    INTEGER i = 7;
    libraryErrorState().LastErrorNumber = 0;
    IStringToInteger(text, i);
    if (libraryErrorState().LastErrorNumber != 0 && i != 0) std::abort();    // a failure leaves 0
    REAL r = 0.0f;
    IStringToReal(text, r);
    DOUBLE d = 0.0;
    IStringToRealDouble(text, d);

    std::string words(text);
    INextInteger(words, i);
    INextReal(words, r);

    DOUBLE parsed = 0.0;
    INTEGER flag = 0;
    YYParseNumber(parsed, text);
    YYParseNumberChecked(parsed, flag, text);
    YYParseRealQuiet(r, text);
    YYParseNumberQuiet(i, text);

    std::string field(text);
    YYReformatInteger(field);
    field.assign(text);
    YYReformatReal(field, "(G15.7)");
    field.assign(text);
    YYReformatDouble(field, "(F12.3)");
    return 0;
}
