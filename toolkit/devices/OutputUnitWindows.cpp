// The output unit's files in the Windows trees, through the toolkit's file routines.
#include "toolkit/devices/OutputUnitFiles.h"

#include <cstddef>

#include "toolkit/foundation/UnformattedFiles.h"

OutputUnitSystemCodes YYProuSystemCodes() { return {ERROR_INVALID_NAME, ERROR_INVALID_HANDLE}; }

OutputUnitFile YYProuFileCreate(const std::string& name, INTEGER& systemCode)
{
    return OutputUnitFile(YYOsFileOpen(name, kFileWrite, systemCode));
}

INTEGER YYProuFileWrite(OutputUnitFile& file, std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    INTEGER written = 0;
    const INTEGER code = YYOsFileWrite(file.get(), std::as_bytes(bytes), written);
    if (written < static_cast<INTEGER>(bytes.size())) systemCode = code;
    return written;
}

bool YYProuFileClose(OutputUnitFile& file, INTEGER& /*systemCode*/)
{
    file.reset();
    return true;
}
