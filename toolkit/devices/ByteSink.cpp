#include "toolkit/devices/ByteSink.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "toolkit/devices/OutputUnit.h"

INTEGER MemoryByteSink::write(std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    std::size_t count = bytes.size();
    if (limit_ >= 0) {
        const auto room = static_cast<std::size_t>(
            std::max<std::int64_t>(0, limit_ - static_cast<std::int64_t>(bytes_.size())));
        if (count > room) {
            count = room;
            systemCode = ENOSPC;
        }
    }
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
    return static_cast<INTEGER>(count);
}

namespace {

// The output unit's open file, looked up afresh on every write.
class UnitFile final : public ByteFile {
public:
    explicit UnitFile(INTEGER unit) : unit_(unit) {}
    INTEGER write(std::span<const std::uint8_t> bytes, INTEGER& systemCode) override
    {
        return YYProuWrite(unit_, bytes, systemCode);
    }
    INTEGER seek(INTEGER offset, INTEGER origin) override { return YYProuSeek(unit_, offset, origin); }

private:
    INTEGER unit_;
};

ByteFile* unitFile(INTEGER unit)
{
    static std::array<UnitFile, 5> files{UnitFile(0), UnitFile(1), UnitFile(2), UnitFile(3), UnitFile(4)};
    if (unit < 0 || static_cast<std::size_t>(unit) >= files.size() || !YYProuIsOpen(unit)) return nullptr;
    return &files[static_cast<std::size_t>(unit)];
}

OutputUnitHooks fallbackHooks()
{
    OutputUnitHooks h;
    h.open = &YYProuOpen;
    h.close = &YYProuClose;
    h.sink = [](INTEGER unit) -> ByteSink* { return unitFile(unit); };
    h.status = []() -> INTEGER& { return outputUnitState().OutputStatus; };
    h.file = &unitFile;
    return h;
}

}  // namespace

OutputUnitHooks& outputUnitHooks()
{
    static OutputUnitHooks hooks = fallbackHooks();
    return hooks;
}

void YYOutputUnitFallbacks() { outputUnitHooks() = fallbackHooks(); }
