#include <OmbralCreateUnit/Attributes.h>

#include <array>
#include <charconv>

#include <platform/host/rtl/SysUtils.h>

namespace OmbralCreateUnit {

namespace {

using C = TOmbralCreator;
using S = const String&;

bool RestoreInteger(Integer& field, S stored) {
    Integer value = 0;
    const auto [end, error] = std::from_chars(stored.data(), stored.data() + stored.size(), value);
    if (error != std::errc() || end != stored.data() + stored.size() || stored.empty()) return false;
    field = value;
    return true;
}

// The value among `count` whose text the creator would have sent, as a
// driver compares keywords: without regard to case.
template <typename Value>
bool RestoreChoice(S stored, int count, String (*text)(Value), const auto& apply) {
    for (int i = 0; i < count; ++i)
        if (host::SameText(text(static_cast<Value>(i)), stored)) return apply(static_cast<Value>(i)), true;
    return false;
}

bool RestoreSwitch(Boolean& field, S stored, String (*text)(Boolean)) {
    return RestoreChoice<Boolean>(stored, 2, text, [&](Boolean value) { field = value; });
}

String ZeroOne(Boolean value) { return host::IntToStr(GetIntegerFromBoolean(value)); }

constexpr std::array<TDataSourceAttribute, 14> kAttributes{{
    {kDescriptionKey, "DSNUserDescription", [](const C& c) { return c.GetDSNUserDescription(); },
     [](C& c, S v) { return c.SetDSNUserDescription(v), true; }, false},
    {"DefaultDir", "DatabaseDir", [](const C& c) { return c.GetDatabaseDir(); },
     [](C& c, S v) { return c.SetDatabaseDir(v), true; }, false},
    {"ParadoxUserName", "UserID", [](const C& c) { return c.GetUserID(); },
     [](C& c, S v) { return c.SetUserID(v), true; }, false},
    {"PWD", "Password", [](const C& c) { return c.Password; }, [](C& c, S v) { return c.Password = v, true; }, true},
    {"ParadoxNetPath", "NetFilePath", [](const C& c) { return c.GetNetFilePath(); },
     [](C& c, S v) { return c.SetNetFilePath(v), true; }, false},
    {"ImplicitCommitSync", "optImplitCommitSync", [](const C& c) { return c.optImplitCommitSync; },
     [](C& c, S v) { return c.optImplitCommitSync = v, true; }, false},
    {"CollatingSequence", "optCollateSequence",
     [](const C& c) { return GetStringFromCollateSeq(c.GetCollateSequence()); },
     [](C& c, S v) {
         return RestoreChoice<TCollatingSequence>(v, SwedishFinnish + 1, GetStringFromCollateSeq,
                                                  [&](TCollatingSequence e) { c.SetCollateSequence(e); });
     },
     false},
    {"ParadoxNetStyle", "optNetVersion", [](const C& c) { return GetNetVersion(c.optNetVersion); },
     [](C& c, S v) {
         return RestoreChoice<TNetVersion>(v, NetVersion5x + 1, GetNetVersion,
                                           [&](TNetVersion e) { c.optNetVersion = e; });
     },
     false},
    {"PageTimeout", "optPageTimeout", [](const C& c) { return host::IntToStr(c.optPageTimeout); },
     [](C& c, S v) { return RestoreInteger(c.optPageTimeout, v); }, false},
    {"ReadOnly", "optDSNReadOnly", [](const C& c) { return ZeroOne(c.optDSNReadOnly); },
     [](C& c, S v) { return RestoreSwitch(c.optDSNReadOnly, v, ZeroOne); }, false},
    {"Exclusive", "optExclusive", [](const C& c) { return ZeroOne(c.optExclusive); },
     [](C& c, S v) { return RestoreSwitch(c.optExclusive, v, ZeroOne); }, false},
    {"SafeTransactions", "optSafeTransactions", [](const C& c) { return host::IntToStr(c.optSafeTransactions); },
     [](C& c, S v) { return RestoreInteger(c.optSafeTransactions, v); }, false},
    {"Threads", "optThreads", [](const C& c) { return host::IntToStr(c.optThreads); },
     [](C& c, S v) { return RestoreInteger(c.optThreads, v); }, false},
    {"UserCommitSync", "optUserCommitSync", [](const C& c) { return GetYNStringFromBoolean(c.optUserCommitSync); },
     [](C& c, S v) { return RestoreSwitch(c.optUserCommitSync, v, GetYNStringFromBoolean); }, false},
}};

constexpr std::size_t kFirstOption = 5;

}  // namespace

std::span<const TDataSourceAttribute> DataSourceAttributes() { return kAttributes; }

String ListedValue(std::string_view name, const String& value, bool reveal) {
    for (const auto& attribute : kAttributes)
        if (attribute.Secret && (host::SameText(attribute.Key, name) || host::SameText(attribute.Property, name)))
            return reveal || value.empty() ? value : String("********");
    return value;
}

std::span<const TDataSourceAttribute> AdvancedOptionAttributes() {
    return std::span(kAttributes).subspan(kFirstOption);
}

}  // namespace OmbralCreateUnit
