#include <platform/host/design/DesignIntf.h>

namespace host {

template <>
const TTypeInfo* TypeInfo<TPropertyEditor>() {
    static const TTypeInfo info{.Kind = tkClass, .Name = "TPropertyEditor", .Parent = TypeInfo<TObject>()};
    return &info;
}

}  // namespace host
