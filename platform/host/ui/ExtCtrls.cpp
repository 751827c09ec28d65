#include <platform/host/ui/ExtCtrls.h>

namespace host {

namespace {

constexpr std::string_view kShapeNames[] = {"bsBox",       "bsFrame",     "bsTopLine", "bsBottomLine",
                                            "bsLeftLine",  "bsRightLine", "bsSpacer"};
constexpr std::string_view kStyleNames[] = {"bsLowered", "bsRaised"};

std::span<const TPropInfo> BevelProperties() {
    static const std::vector<TPropInfo> table = PublishedProperties<TControl>({
        Field<&TBevel::Shape>("Shape", bsBox),
        Field<&TBevel::Style>("Style", bsLowered),
    });
    return table;
}

}  // namespace

TBevel::TBevel(TComponent* AOwner) : TControl(AOwner) {
    Width = 50;
    Height = 50;
}

const TTypeInfo* TBevel::ClassType() const { return TypeInfo<TBevel>(); }

template <>
const TTypeInfo* TypeInfo<TBevelShape>() {
    static const TTypeInfo info = EnumerationType("TBevelShape", kShapeNames);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TBevelStyle>() {
    static const TTypeInfo info = EnumerationType("TBevelStyle", kStyleNames);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TBevel>() {
    static const TTypeInfo info = ClassTypeInfo<TBevel, TControl>("TBevel", BevelProperties);
    return &info;
}

}  // namespace host
