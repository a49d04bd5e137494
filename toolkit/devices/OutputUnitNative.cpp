// The output unit over C-library streams, for the native tree: the same names, errors and
// statuses as the Windows body, with errno as the file detail.
#include "toolkit/devices/OutputUnit.h"

#include <cerrno>
#include <cstdio>
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
        fail(1, ENOENT);
        return;
    }
    const std::string name(work.view().substr(0, used));
    if (used < FixedText<260>::capacity) work[used] = '\0';
    OutputUnitState& s = outputUnitState();
    s.OutputStatus = 0;
    OutputUnitFile* slot = unitSlot(unit);
    if (!slot) {
        fail(1, EBADF);
        return;
    }
    errno = 0;
    OutputUnitFile file(std::fopen(name.c_str(), "wb"));
    if (!file) {
        fail(1, errno != 0 ? errno : ENOENT);
        return;
    }
    // Unbuffered, so that a failed write (a full disk) shows at that write, as in the Windows body.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
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
    // The close flushes the stream: a disk that filled up shows only here.
    if (!StdioFileCloseChecked(*slot)) fail(2, errno != 0 ? errno : EIO);
}

INTEGER YYProuWrite(INTEGER unit, std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    OutputUnitFile* slot = unitSlot(unit);
    if (!slot || !*slot) {
        systemCode = EBADF;
        return 0;
    }
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), slot->get());
    if (written < bytes.size()) systemCode = errno != 0 ? errno : EIO;
    return static_cast<INTEGER>(written);
}

bool YYProuIsOpen(INTEGER unit)
{
    const OutputUnitFile* slot = unitSlot(unit);
    return slot && *slot;
}
