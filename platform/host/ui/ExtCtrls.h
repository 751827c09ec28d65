#pragma once
// The bevel: a framed or lined area drawn in the 3-D colours.

#include <cstdint>

#include <platform/host/ui/Controls.h>

namespace host {

enum TBevelShape : std::uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };

class TBevel : public TControl {
public:
    explicit TBevel(TComponent* AOwner);
    const TTypeInfo* ClassType() const override;

    TBevelShape Shape = bsBox;
    TBevelStyle Style = bsLowered;
};

template <>
const TTypeInfo* TypeInfo<TBevelShape>();
template <>
const TTypeInfo* TypeInfo<TBevelStyle>();
template <>
const TTypeInfo* TypeInfo<TBevel>();

}  // namespace host
