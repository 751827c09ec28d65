#include "platform/FormTestClasses.h"

#include <array>

using namespace formtest;
using host::Field;
using host::Property;

namespace {

constexpr std::array<std::string_view, 4> kStyleNames{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const host::TPublishedMethod kFormMethods[] = {host::PublishedMethod<&TTestForm::Clicked>("Clicked")};

std::span<const host::TPropInfo> FontProperties() {
    static const auto table = host::PublishedProperties<host::TPersistent>({
        Field<&TFont::Name>("Name"),
        Field<&TFont::Height>("Height"),
        Field<&TFont::Style>("Style", TFontStyles{}),
    });
    return table;
}

std::span<const host::TPropInfo> LabelProperties() {
    static const auto table = host::PublishedProperties<host::TComponent>({
        Field<&TTestLabel::Caption>("Caption"),
        Property<&TTestLabel::GetFont, &TTestLabel::SetFont>("Font"),
        Field<&TTestLabel::Visible>("Visible", true),
        Field<&TTestLabel::OnClick>("OnClick"),
    });
    return table;
}

}  // namespace

namespace host {

template <>
const TTypeInfo* TypeInfo<TFontStyle>() {
    static const TTypeInfo info = EnumerationType("TFontStyle", kStyleNames);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TFontStyles>() {
    static const TTypeInfo info{.Kind = tkSet, .Name = "TFontStyles", .Element = TypeInfo<TFontStyle>()};
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TFont>() {
    static const TTypeInfo info = ClassTypeInfo<TFont, TPersistent>("TFont", FontProperties);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TTestLabel>() {
    static const TTypeInfo info = ClassTypeInfo<TTestLabel, TComponent>("TTestLabel", LabelProperties);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TTestForm>() {
    static const TTypeInfo info = ClassTypeInfo<TTestForm, TComponent>("TTestForm", nullptr, kFormMethods);
    return &info;
}

}  // namespace host

namespace formtest {

const host::TTypeInfo* TFont::ClassType() const { return host::TypeInfo<TFont>(); }
const host::TTypeInfo* TTestLabel::ClassType() const { return host::TypeInfo<TTestLabel>(); }
const host::TTypeInfo* TTestForm::ClassType() const { return host::TypeInfo<TTestForm>(); }

void TTestLabel::Loaded() {
    ++loadedCalls;
    loadedBefore = loadedSoFar++;
    captionWhenLoaded = Caption;
    if (Owner() && Owner()->ComponentCount() > 0) {
        auto* last = dynamic_cast<TTestLabel*>(Owner()->Components(Owner()->ComponentCount() - 1));
        if (last) lastCaptionWhenLoaded = last->Caption;
    }
}

void RegisterTestClasses() {
    host::RegisterClass(host::TypeInfo<TTestLabel>());
    host::RegisterClass(host::TypeInfo<TTestForm>());
    host::RegisterClass(host::TypeInfo<TFont>());
}

}  // namespace formtest
