// The output unit's files over C-library streams, for the native tree: errno as the system code.
#include "toolkit/devices/OutputUnitFiles.h"

#include <cerrno>
#include <cstdio>

OutputUnitSystemCodes YYProuSystemCodes() { return {ENOENT, EBADF}; }

OutputUnitFile YYProuFileCreate(const std::string& name, INTEGER& systemCode)
{
    errno = 0;
    OutputUnitFile file(std::fopen(name.c_str(), "wb"));
    if (!file) {
        systemCode = errno != 0 ? errno : ENOENT;
        return file;
    }
    // Unbuffered, so that a failed write (a full disk) shows at that write, as in the Windows body.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return file;
}

INTEGER YYProuFileWrite(OutputUnitFile& file, std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    if (written < bytes.size()) systemCode = errno != 0 ? errno : EIO;
    return static_cast<INTEGER>(written);
}

bool YYProuFileClose(OutputUnitFile& file, INTEGER& systemCode)
{
    // The close flushes the stream: a disk that filled up shows only here.
    if (StdioFileCloseChecked(file)) return true;
    systemCode = errno != 0 ? errno : EIO;
    return false;
}
