#include "toolkit/devices/RasterDump.h"

#include <algorithm>
#include <array>

#include "toolkit/foundation/ErrorReport.h"

void YYPRBU(ByteSink& sink, std::span<const std::uint8_t> bytes, INTEGER n, LOGICAL lineEnd)
{
    const std::size_t count = static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, static_cast<std::int64_t>(bytes.size())));
    INTEGER code = 0;
    bool complete = sink.write(bytes.first(count), code) == static_cast<INTEGER>(count);
    if (complete && isTrue(lineEnd)) {
        static constexpr std::array<std::uint8_t, 2> kLineEnd{13, 10};
        complete = sink.write(kLineEnd, code) == 2;
    }
    if (complete) return;
    LibraryErrorState& errors = libraryErrorState();
    errors.FileDetailKind = code != 0 ? 2 : 0;
    errors.FileDetailCode = code;
    YYErrorReport(2, "YYPRBU");
    outputUnitHooks().status() = -1;
}
