// The output unit's slots, statuses and reports, the same in every tree; the file calls below
// them are the platform's (OutputUnitFiles.h).
#include "toolkit/devices/OutputUnit.h"

#include <cstddef>
#include <span>
#include <string>

#include "toolkit/devices/OutputUnitFiles.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"

OutputUnitState& outputUnitState()
{
    static OutputUnitState state;
    return state;
}

namespace {

OutputUnitFile* unitSlot(INTEGER unit)
{
    OutputUnitState& s = outputUnitState();
    if (unit < 1 || static_cast<std::size_t>(unit) >= s.Handles.size()) return nullptr;
    return &s.Handles[static_cast<std::size_t>(unit)];
}

void fail(INTEGER error, INTEGER systemCode)
{
    LibraryErrorState& errors = libraryErrorState();
    errors.FileDetailKind = systemCode != 0 ? 2 : 0;
    errors.FileDetailCode = systemCode;
    YYErrorReport(error, "YYPROU");
    outputUnitState().OutputStatus = -1;
}

void writeBytes(INTEGER unit, std::string_view bytes)
{
    INTEGER code = 0;
    const auto data = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    if (YYProuWrite(unit, data, code) < static_cast<INTEGER>(bytes.size())) fail(2, code);
}

}  // namespace

void YYProuOpen(INTEGER unit)
{
    FixedText<260>& work = stringWorkBuffer();
    const std::size_t used = work.usedLength();
    if (work.view().substr(0, used).find_first_not_of(' ') == std::string_view::npos) {
        fail(1, YYProuSystemCodes().BadName);
        return;
    }
    // The name is built apart from the buffer, so a name that fills all 260 characters still gets
    // its end; the buffer shows the end too where there is room for it.
    const std::string name(work.view().substr(0, used));
    if (used < FixedText<260>::capacity) work[used] = '\0';
    OutputUnitState& s = outputUnitState();
    s.OutputStatus = 0;
    OutputUnitFile* slot = unitSlot(unit);
    if (!slot) {
        fail(1, YYProuSystemCodes().BadUnit);
        return;
    }
    INTEGER code = 0;
    OutputUnitFile file = YYProuFileCreate(name, code);
    if (!file) {
        fail(1, code);
        return;
    }
    *slot = std::move(file);
}

void YYPROU(INTEGER unit, std::string_view bytes) { writeBytes(unit, bytes); }

void YYProuLine(INTEGER unit, std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    writeBytes(unit, line);
}

void YYProuClose(INTEGER unit)
{
    OutputUnitFile* slot = unitSlot(unit);
    if (!slot || !*slot) return;
    INTEGER code = 0;
    if (!YYProuFileClose(*slot, code)) fail(2, code);
}

INTEGER YYProuWrite(INTEGER unit, std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    OutputUnitFile* slot = unitSlot(unit);
    if (!slot || !*slot) {
        systemCode = YYProuSystemCodes().BadUnit;
        return 0;
    }
    return YYProuFileWrite(*slot, bytes, systemCode);
}

bool YYProuIsOpen(INTEGER unit)
{
    const OutputUnitFile* slot = unitSlot(unit);
    return slot && *slot;
}

#if defined(_WIN32)
void YYProuUnit(INTEGER unit, HANDLE& handle)
{
    const OutputUnitFile* slot = unitSlot(unit);
    handle = slot ? slot->get() : INVALID_HANDLE_VALUE;
}
#endif
