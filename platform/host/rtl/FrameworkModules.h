#pragma once
// The framework's modules as a package's module table names them. Each has
// an initialisation and a finalisation routine, in the framework package that
// holds it; a package's table lists them, around its own modules, in the
// order its tool chain linked them.

// The modules of the run-time basics, of controls and forms, and of the
// design interface, whose names differ between releases.
#define OMBRAL_RTL_MODULES(X)                                                                           \
    X(System) X(Types) X(Windows) X(Messages) X(SysConst) X(SysUtils) X(VarUtils) X(Variants)           \
    X(RTLConsts) X(TypInfo) X(Classes) X(ActiveX) X(Registry) X(IniFiles) X(Contnrs) X(Masks)           \
    X(HelpIntfs) X(ShellAPI) X(CommCtrl) X(Imm) X(MultiMon) X(CommDlg) X(Dlgs) X(RichEdit)
#define OMBRAL_VCL_MODULES(X)                                                                           \
    X(Consts) X(Graphics) X(Menus) X(ImgList) X(ActnList) X(Controls) X(StdCtrls) X(ExtCtrls)           \
    X(Printers) X(Clipbrd) X(Forms) X(Dialogs) X(ToolWin) X(ComCtrls) X(Buttons) X(StdActns)            \
    X(ListActns) X(ExtDlgs) X(Mask) X(Grids)
#if OMBRAL_FRAMEWORK_RELEASE >= 6
#define OMBRAL_DESIGN_MODULES(X) X(DesignConst) X(Designintf) X(DesignMenus) X(Designeditors) X(TreeIntf)
#else
#define OMBRAL_DESIGN_MODULES(X) X(Dsgnintf)
#endif

#define OMBRAL_DECLARE_FRAMEWORK_MODULE(Name) \
    namespace host::modules::Name {           \
    void initialization();                    \
    void Finalization();                      \
    }
OMBRAL_RTL_MODULES(OMBRAL_DECLARE_FRAMEWORK_MODULE)
OMBRAL_VCL_MODULES(OMBRAL_DECLARE_FRAMEWORK_MODULE)
OMBRAL_DESIGN_MODULES(OMBRAL_DECLARE_FRAMEWORK_MODULE)

// A module whose set-up lives elsewhere in the stand-in, or that it has no
// counterpart for: both routines are empty.
#define OMBRAL_DEFINE_EMPTY_MODULE(Name) \
    namespace host::modules::Name {      \
    void initialization() {}             \
    void Finalization() {}               \
    }
