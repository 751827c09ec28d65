#pragma once
// Controls: what every visible part of a form has, and the container that
// holds them.

#include <cstdint>
#include <memory>
#include <vector>

#include <platform/host/rtl/Classes.h>
#include <platform/host/ui/Graphics.h>

namespace host {

// A mouse cursor: the host's numbers; the named ones stream by name.
enum TCursor : std::int16_t {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
    crSize = crSizeAll
};

// What ends a modal run: the button a person chose.
using TModalResult = Integer;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                              mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

bool IdentToCursor(std::string_view name, Integer& cursor);
bool CursorToIdent(Integer cursor, String& name);

class TWinControl;
class TCustomForm;

// Caption text with the accelerator markers taken out: a single '&' marks the
// next character and is not drawn, "&&" is one '&'.
struct TAcceleratedText {
    String Text;
    std::vector<std::size_t> Underlined;  // byte offsets in Text of the marked characters
};
TAcceleratedText StripAccelerators(const String& caption);
// The caption that shows `text` as it is, marking nothing: each '&' doubled.
String WithoutAccelerators(std::string_view text);

// Publishes Left, Top, Width, Height and Cursor; a class that shows its
// caption or font publishes those itself, so its stream keeps the host's order.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    const TTypeInfo* ClassType() const override;

    Integer Left = 0, Top = 0, Width = 0, Height = 0;
    TCursor Cursor = crDefault;
    TNotifyEvent OnClick;

    String GetCaption() const { return caption_; }
    void SetCaption(const String& value);
    TFont* GetFont() const { return font_.get(); }
    void SetFont(TFont* value);  // takes a copy of the values
    Boolean GetParentFont() const { return parentFont_; }
    void SetParentFont(Boolean value);

    TWinControl* GetParent() const { return parent_; }
    void SetParent(TWinControl* value);
    // The form the control stands on, or null.
    TCustomForm* ParentForm() const;

    // What a mouse click does: runs OnClick.
    virtual void Click();

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* value) override;

protected:
    // After the caption or the font changed.
    virtual void TextChanged() {}
    // After the font changed, by any way.
    virtual void FontChanged();
    // With ParentFont, takes the parent's font.
    void ParentFontChanged();

private:
    friend class TWinControl;

    String caption_;
    std::unique_ptr<TFont> font_;
    Boolean parentFont_ = true;
    bool followingParent_ = false;
    TWinControl* parent_ = nullptr;
};

// A control that holds other controls. It does not own them: their owner
// frees them, and a control freed first leaves its parent.
class TWinControl : public TControl {
public:
    using TControl::TControl;
    ~TWinControl() override;
    const TTypeInfo* ClassType() const override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }
    Integer TabOrder = -1;

protected:
    void FontChanged() override;  // and on to the controls that follow it

private:
    friend class TControl;
    std::vector<TControl*> controls_;
};

// Table entries that several control classes publish, each in its own place
// of the class's order.
TPropInfo CaptionProperty();
TPropInfo FontProperty();  // stored only when ParentFont is False
TPropInfo ParentFontProperty();
TPropInfo OnClickProperty();

template <>
const TTypeInfo* TypeInfo<TCursor>();
template <>
const TTypeInfo* TypeInfo<TControl>();
template <>
const TTypeInfo* TypeInfo<TWinControl>();

}  // namespace host
