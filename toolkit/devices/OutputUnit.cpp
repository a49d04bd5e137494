// The output unit's slots, statuses and reports over the toolkit's work files, the same in every
// tree.
#include "toolkit/devices/OutputUnit.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

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
    if (unit < 1 || static_cast<std::size_t>(unit) >= s.Units.size()) return nullptr;
    return &s.Units[static_cast<std::size_t>(unit)];
}

OutputUnitFile* openSlot(INTEGER unit)
{
    OutputUnitFile* slot = unitSlot(unit);
    return slot && slot->Work.isOpen() ? slot : nullptr;
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
    OutputUnitFile* slot = openSlot(unit);
    if (!slot) {
        fail(2, YYWorkFileNotOpenCode());
        return;
    }
    // The failure was reported when it happened: a driver that writes on learns it from the status.
    if (slot->Failed) {
        outputUnitState().OutputStatus = -1;
        return;
    }
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
        fail(1, YYWorkFileBadNameCode());
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
        fail(1, YYWorkFileNotOpenCode());
        return;
    }
    // A file still open on the unit is finished first.
    YYProuClose(unit);
    s.OutputStatus = 0;
    if (!slot->Work.createFor(name)) {
        fail(1, slot->Work.error());
        YYUserFileFailure(name, 1);
        return;
    }
    slot->Target = name;
    slot->Failed = false;
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
    OutputUnitFile* slot = openSlot(unit);
    if (!slot) return;
    if (slot->Failed) {
        // Reported when the write failed (by the unit or by the writer); the user learns it now,
        // once, with the file's name.
        slot->Work.discard();
        slot->Failed = false;
        LibraryErrorState& errors = libraryErrorState();
        errors.FileDetailKind = 2;
        errors.FileDetailCode = slot->FailedCode;
        YYUserFileFailure(slot->Target, 2);
        return;
    }
    if (slot->Work.commit(slot->Target)) return;
    fail(3, slot->Work.error());
    YYUserFileFailure(slot->Target, 3);
}

INTEGER YYProuWrite(INTEGER unit, std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    OutputUnitFile* slot = openSlot(unit);
    if (!slot) {
        systemCode = YYWorkFileNotOpenCode();
        return 0;
    }
    if (!slot->Failed && slot->Work.write(bytes)) return static_cast<INTEGER>(bytes.size());
    slot->Failed = true;
    slot->FailedCode = systemCode = slot->Work.error();
    return 0;
}

INTEGER YYProuSeek(INTEGER unit, INTEGER offset, INTEGER origin)
{
    OutputUnitFile* slot = openSlot(unit);
    if (!slot || slot->Failed) return -1;
    const std::int64_t position = slot->Work.seek(offset, origin);
    if (position >= 0 && position <= INT32_MAX) return static_cast<INTEGER>(position);
    slot->Failed = true;
    slot->FailedCode = slot->Work.error();
    return -1;
}

bool YYProuIsOpen(INTEGER unit) { return openSlot(unit) != nullptr; }

#if defined(_WIN32)
void YYProuUnit(INTEGER unit, HANDLE& handle)
{
    const OutputUnitFile* slot = openSlot(unit);
    handle = slot ? reinterpret_cast<HANDLE>(slot->Work.handle()) : INVALID_HANDLE_VALUE;
}
#endif
