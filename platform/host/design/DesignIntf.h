#pragma once
// The design interface that the package's property editors stand on.

#include <platform/host/rtl/TypInfo.h>

namespace host {

// The base of property editors; its definition comes with the property editors.
class TPropertyEditor;
template <>
const TTypeInfo* TypeInfo<TPropertyEditor>();

}  // namespace host
