#include "toolkit/graphics/DriverProtocol.h"

#include <cmath>
#include <limits>

#include "toolkit/graphics/GraphicsState.h"

DriverParameterBlock& driverParameterBlock()
{
    static DriverParameterBlock block;
    return block;
}

DeviceCapabilityTable& deviceCapabilityTable()
{
    static DeviceCapabilityTable table;
    return table;
}

FixedText<260>& stringWorkBuffer()
{
    static FixedText<260> buffer;
    return buffer;
}

DriverHooks& driverHooks()
{
    static DriverHooks hooks;
    return hooks;
}

void YYDriverCurrent(INTEGER op)
{
    if (op < 1 || op > 40) return;
    const DriverHooks& hooks = driverHooks();
    const DriverRoutine driver = graphicsState().MetafileRecording != 0 ? hooks.MetafileDriver : hooks.ScreenDriver;
    if (driver) driver(op);
}

void YYDriverHardcopy(INTEGER op)
{
    if (graphicsState().HardcopyActive > 0) YYHardcopyDispatch(op);
}

// A plain jump through the driver table: devices 5 and 7, numbers outside 1-12 and devices whose
// driver is not installed receive nothing, which leaves an identification query unanswered.
void YYHardcopyDispatch(INTEGER op)
{
    if (op < 1 || op > 40) return;
    const DriverHooks& hooks = driverHooks();
    const INTEGER device = hooks.HardcopyDevice;
    if (device < 1 || device > 12) return;
    if (const DriverRoutine driver = hooks.HardcopyDrivers[static_cast<std::size_t>(device)]) driver(op);
}

namespace {

template <class F>
INTEGER saturate(F value)
{
    if (std::isnan(value)) return 0;
    // The limits are exact in both float and double; anything at or beyond them saturates.
    constexpr F high = static_cast<F>(2147483520.0), low = static_cast<F>(-2147483520.0);
    if (value >= high) return 2147483520;
    if (value <= low) return -2147483520;
    return static_cast<INTEGER>(value);
}

}  // namespace

INTEGER YYDeviceTrunc(REAL value) { return saturate(value); }
INTEGER YYDeviceTrunc(DOUBLE value) { return saturate(value); }

INTEGER YYDeviceFloor(REAL value)
{
    if (std::isnan(value)) return 0;
    return value >= 0.0f ? YYDeviceTrunc(value) : YYDeviceTrunc(value - 0.999f);
}
