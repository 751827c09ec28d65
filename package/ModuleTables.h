#pragma once
// The package's module table of each release: the package's own start-up
// module (OWN), the framework's modules (FRAMEWORK) and the package's
// contained modules (CONTAINED), in the order the release's tool chain links
// them, which is the order they are initialised in. Each contained module
// comes after the framework modules it uses.

#if OMBRAL_FRAMEWORK_RELEASE == 4
#define OMBRAL_MODULE_TABLE(OWN, FRAMEWORK, CONTAINED)                                                   \
    OWN(SysInit)                                                                                         \
    FRAMEWORK(System) FRAMEWORK(Windows) FRAMEWORK(Messages) FRAMEWORK(SysConst) FRAMEWORK(SysUtils)     \
    FRAMEWORK(ActiveX) FRAMEWORK(Consts) FRAMEWORK(TypInfo) FRAMEWORK(Classes) FRAMEWORK(Registry)       \
    FRAMEWORK(IniFiles) FRAMEWORK(CommCtrl) FRAMEWORK(Graphics) FRAMEWORK(Imm) FRAMEWORK(Menus)          \
    FRAMEWORK(ImgList) FRAMEWORK(ActnList) FRAMEWORK(MultiMon) FRAMEWORK(Controls) FRAMEWORK(StdCtrls)   \
    FRAMEWORK(CommDlg) FRAMEWORK(Dlgs) FRAMEWORK(ExtCtrls) FRAMEWORK(Printers) FRAMEWORK(Clipbrd)        \
    FRAMEWORK(Forms) FRAMEWORK(Dialogs) FRAMEWORK(ToolWin) FRAMEWORK(ComCtrls) FRAMEWORK(Buttons)        \
    FRAMEWORK(Masks)                                                                                     \
    CONTAINED(OmbralCodeUnit)                                                                            \
    FRAMEWORK(ShellAPI)                                                                                  \
    CONTAINED(pOlvexAbout)                                                                               \
    FRAMEWORK(Dsgnintf)                                                                                  \
    CONTAINED(OmbralCreateUnit)                                                                          \
    CONTAINED(Ombralcompreg)
#elif OMBRAL_FRAMEWORK_RELEASE == 5
#define OMBRAL_MODULE_TABLE(OWN, FRAMEWORK, CONTAINED)                                                   \
    OWN(SysInit)                                                                                         \
    FRAMEWORK(System) FRAMEWORK(Windows) FRAMEWORK(Messages) FRAMEWORK(SysConst) FRAMEWORK(SysUtils)     \
    FRAMEWORK(ActiveX) FRAMEWORK(Consts) FRAMEWORK(TypInfo) FRAMEWORK(Classes) FRAMEWORK(Registry)       \
    FRAMEWORK(IniFiles) FRAMEWORK(ShellAPI) FRAMEWORK(CommCtrl) FRAMEWORK(Graphics) FRAMEWORK(Imm)       \
    FRAMEWORK(Contnrs) FRAMEWORK(Menus) FRAMEWORK(ImgList) FRAMEWORK(ActnList) FRAMEWORK(MultiMon)       \
    FRAMEWORK(Controls) FRAMEWORK(StdCtrls) FRAMEWORK(CommDlg) FRAMEWORK(Dlgs) FRAMEWORK(ExtCtrls)       \
    FRAMEWORK(Printers) FRAMEWORK(Clipbrd) FRAMEWORK(Forms) FRAMEWORK(Dialogs) FRAMEWORK(ToolWin)        \
    FRAMEWORK(RichEdit) FRAMEWORK(ComCtrls) FRAMEWORK(Buttons) FRAMEWORK(StdActns) FRAMEWORK(ExtDlgs)    \
    FRAMEWORK(Mask) FRAMEWORK(Grids)                                                                     \
    CONTAINED(OmbralCodeUnit)                                                                            \
    CONTAINED(pOlvexAbout)                                                                               \
    FRAMEWORK(Masks) FRAMEWORK(Dsgnintf)                                                                 \
    CONTAINED(OmbralCreateUnit)                                                                          \
    CONTAINED(Ombralcompreg)
#elif OMBRAL_FRAMEWORK_RELEASE == 6
#define OMBRAL_MODULE_TABLE(OWN, FRAMEWORK, CONTAINED)                                                   \
    OWN(SysInit)                                                                                         \
    FRAMEWORK(System) FRAMEWORK(Types) FRAMEWORK(Windows) FRAMEWORK(Messages) FRAMEWORK(SysConst)        \
    FRAMEWORK(SysUtils) FRAMEWORK(VarUtils) FRAMEWORK(Variants) FRAMEWORK(RTLConsts) FRAMEWORK(TypInfo)  \
    FRAMEWORK(Classes) FRAMEWORK(ActiveX) FRAMEWORK(Registry) FRAMEWORK(IniFiles) FRAMEWORK(Contnrs)     \
    FRAMEWORK(HelpIntfs) FRAMEWORK(ShellAPI) FRAMEWORK(Consts) FRAMEWORK(CommCtrl) FRAMEWORK(Graphics)   \
    FRAMEWORK(Imm) FRAMEWORK(Menus) FRAMEWORK(ImgList) FRAMEWORK(ActnList) FRAMEWORK(MultiMon)           \
    FRAMEWORK(Controls) FRAMEWORK(StdCtrls) FRAMEWORK(CommDlg) FRAMEWORK(Dlgs) FRAMEWORK(ExtCtrls)       \
    FRAMEWORK(Printers) FRAMEWORK(Clipbrd) FRAMEWORK(Forms) FRAMEWORK(Dialogs) FRAMEWORK(ToolWin)        \
    FRAMEWORK(RichEdit) FRAMEWORK(ComCtrls) FRAMEWORK(Buttons) FRAMEWORK(ListActns) FRAMEWORK(StdActns)  \
    FRAMEWORK(ExtDlgs) FRAMEWORK(Mask) FRAMEWORK(Grids) FRAMEWORK(Masks)                                 \
    CONTAINED(OmbralCodeUnit)                                                                            \
    CONTAINED(pOlvexAbout)                                                                               \
    FRAMEWORK(DesignConst) FRAMEWORK(Designintf) FRAMEWORK(DesignMenus) FRAMEWORK(Designeditors)         \
    FRAMEWORK(TreeIntf)                                                                                  \
    CONTAINED(OmbralCreateUnit)                                                                          \
    CONTAINED(Ombralcompreg)
#endif
