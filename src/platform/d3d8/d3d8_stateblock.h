// d3d8_stateblock.h - recorded and captured sets of device state. A block holds values for the
// parts of the state its mask names; applying it sets them through the device's own Set* calls.
// Depends on: d3d8_state.h.
#pragma once

#include "platform/d3d8/d3d8_state.h"

namespace velunar::d3d8 {

class Device;

class StateBlock {
public:
    // A block of the given kind holding the device's current values.
    static StateBlock* CreateOfType(D3DSTATEBLOCKTYPE type, const DeviceState& current);

    void Capture(const DeviceState& current);
    void Apply(Device& device) const;

    DeviceState values;
    StateMask mask;
};

}  // namespace velunar::d3d8
