#pragma once
// The data-source attributes a TOmbralCreator's properties become: each
// attribute's key, the published property behind it, the text the creator
// sends for the property's value, and the way back from a stored text to the
// property. The creator sends the options in this order; the tool reads a
// data source back, lists and shows it by the same table.

#include <span>
#include <string_view>

#include <OmbralCreateUnit/OmbralCreateUnit.h>

namespace OmbralCreateUnit {

struct TDataSourceAttribute {
    std::string_view Key;       // as stored: Description, DefaultDir, ..., UserCommitSync
    std::string_view Property;  // the published property
    String (*Text)(const TOmbralCreator& creator);
    // Sets the property from a stored text; false for a text the creator could not have sent.
    bool (*Restore)(TOmbralCreator& creator, const String& stored);
    bool Secret;  // shown masked
};

// Description, DefaultDir, ParadoxUserName, PWD and ParadoxNetPath (the
// attribute list's own pairs), then the nine driver options.
std::span<const TDataSourceAttribute> DataSourceAttributes();
// The nine driver options alone, in the order of the advanced-options string.
std::span<const TDataSourceAttribute> AdvancedOptionAttributes();

// What a listing shows of a value stored or sent under `name`: a password
// (a Secret attribute's key or property, PWD or Password, in any case, as
// drivers read them) masked unless `reveal`; an empty one stays empty, so
// that its absence shows.
String ListedValue(std::string_view name, const String& value, bool reveal);

// The data source's description: what a listing shows beside its name.
inline constexpr std::string_view kDescriptionKey = "Description";

}  // namespace OmbralCreateUnit
