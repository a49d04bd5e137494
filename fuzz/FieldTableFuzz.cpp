// A dialog's field table text walked as the dialog manager walks it (headers, data lines, the
// item lines a menu, tab or grid line claims, font lines): no crash and no undefined behaviour on
// any text. The controls themselves need Windows; what reaches them comes from these routines.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "toolkit/dialogs/FieldTableText.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberParse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WErrorReportMode(kReportSilent);
    FuzzInput input(data, size);
    FieldTableLines reader(input.rest());
    FieldTableSection section = FieldTableSection::None;
    std::string_view line;
    // Lines a claimed count asks for are read from the text and end with it.
    const auto skipLines = [&reader](INTEGER count) {
        std::string_view item;
        for (INTEGER i = 0; i < count && reader.next(item);) {
            const std::string kept(fieldTableTrimRight(item).substr(0, 1024));
            ++i;
        }
    };
    while (reader.next(line)) {
        while (!line.empty() && FieldTableTokens::isBlank(line.front())) line.remove_prefix(1);
        if (const FieldTableSection header = fieldTableHeader(line); header != FieldTableSection::None) {
            section = header;
            continue;
        }
        if (section == FieldTableSection::None || line.empty()) continue;
        FieldTableTokens values(line);
        const INTEGER field = values.nextInteger();
        (void)field;
        switch (section) {
        case FieldTableSection::Ranges: {
            DOUBLE low = 0.0, high = 0.0;
            INTEGER ok = 0;
            YYParseNumberChecked(low, ok, values.next());
            YYParseNumberChecked(high, ok, values.next());
            break;
        }
        case FieldTableSection::Menus:
        case FieldTableSection::Tabs: {
            const INTEGER count = values.nextInteger();
            values.nextInteger();
            skipLines(count);
            break;
        }
        case FieldTableSection::Grids: {
            values.nextInteger();
            const INTEGER rows = values.nextInteger();
            skipLines(rows < INT32_MAX ? rows + 1 : rows);
            break;
        }
        case FieldTableSection::Fonts: {
            const INTEGER points = values.nextInteger();
            const std::string_view rest = values.rest();
            if (rest.find(',') == std::string_view::npos) break;
            for (const INTEGER dpi : {72, 96, 120, 600}) fieldTableFontHeight(points, dpi);
            break;
        }
        case FieldTableSection::DialogLine:
            values.nextInteger();
            FieldTableTokens::integerOf(values.next());
            break;
        default:
            while (!values.next().empty()) {
            }
            fieldTableTrimRight(values.rest());
            break;
        }
    }
    return 0;
}
