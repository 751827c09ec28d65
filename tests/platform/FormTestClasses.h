#pragma once
// Small classes with the kinds of published property that TOmbralCreator
// lacks: a nested object, a set, an event and a published method.

#include <cstdint>
#include <memory>

#include <platform/host/rtl/Classes.h>

namespace formtest {

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = host::TSet<TFontStyle>;

class TFont : public host::TPersistent {
public:
    const host::TTypeInfo* ClassType() const override;
    host::String Name = "Arial";
    host::Integer Height = -11;
    TFontStyles Style;
};

// A label with a font it owns, an event, and a note of what Loaded saw.
class TTestLabel : public host::TComponent {
public:
    using host::TComponent::TComponent;
    const host::TTypeInfo* ClassType() const override;
    void Loaded() override;

    TFont* GetFont() const { return font_.get(); }
    void SetFont(TFont* value) {  // takes a copy, as the host's Font.Assign
        if (value) *font_ = *value;
    }
    host::Boolean Visible = true;
    host::String Caption;
    host::TNotifyEvent OnClick;

    int loadedCalls = 0;
    int loadedBefore = 0;             // Loaded calls on any label before this one's
    host::String captionWhenLoaded;   // what Caption held when Loaded ran
    host::String lastCaptionWhenLoaded;  // the caption of the last label of the form, then

    static inline int loadedSoFar = 0;

private:
    std::unique_ptr<TFont> font_ = std::make_unique<TFont>();
};

class TTestForm : public host::TComponent {
public:
    using host::TComponent::TComponent;
    const host::TTypeInfo* ClassType() const override;
    void Clicked(host::TObject* Sender) { lastSender = Sender; }
    host::TObject* lastSender = nullptr;
};

void RegisterTestClasses();

}  // namespace formtest

namespace host {
template <>
const TTypeInfo* TypeInfo<formtest::TFontStyles>();
template <>
const TTypeInfo* TypeInfo<formtest::TFontStyle>();
template <>
const TTypeInfo* TypeInfo<formtest::TFont>();
template <>
const TTypeInfo* TypeInfo<formtest::TTestLabel>();
template <>
const TTypeInfo* TypeInfo<formtest::TTestForm>();
}  // namespace host
