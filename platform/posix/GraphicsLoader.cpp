// Finds and loads the picture and font module, and gives its table of C
// functions the interface's shape.

#include <dlfcn.h>

#include <filesystem>

#include <GraphicsModule.h>
#include <platform/host/rtl/SysUtils.h>

namespace headless {

namespace {

constexpr std::size_t kTextBuffer = 4096;

// Beside the code that asks (the framework library, or a program it is
// linked into); else by the program's own library path, as an installed
// program finds it in its library folder.
std::string ModulePath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ModulePath), &info) != 0 && info.dli_fname) {
        const auto beside = std::filesystem::path(info.dli_fname).parent_path() / kGraphicsModuleFile;
        std::error_code ignored;
        if (std::filesystem::exists(beside, ignored)) return beside.string();
    }
    return kGraphicsModuleFile;
}

const TGraphicsEntries& Load() {
    const std::string path = ModulePath();
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw host::Exception("cannot load the picture and font module " + path +
                              " (it needs FreeType, fontconfig and cairo): " + ::dlerror());
    using Entry = const TGraphicsEntries* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(library, kGraphicsModuleEntry));
    const TGraphicsEntries* entries = entry ? entry() : nullptr;
    if (!entries || entries->Version != kGraphicsEntriesVersion)
        throw host::Exception(path + " is no picture and font module of this build");
    return *entries;
}

}  // namespace

TPicture::TPicture(const TGraphicsEntries& entries, int width, int height, TRgb background)
    : entries_(entries), picture_(entries.NewPicture(width, height, background)) {}

TPicture::~TPicture() { entries_.FreePicture(picture_); }

void TPicture::Line(double x0, double y0, double x1, double y1, TRgb colour) {
    entries_.Line(picture_, x0, y0, x1, y1, colour);
}

void TPicture::Rectangle(double left, double top, double width, double height, TRgb colour) {
    entries_.Rectangle(picture_, left, top, width, height, colour);
}

void TPicture::Text(const std::string& fontFile, int emPixels, double x, double y, const std::string& utf8,
                    TRgb colour) {
    entries_.Text(picture_, fontFile.c_str(), emPixels, x, y, utf8.c_str(), colour);
}

void TPicture::WritePng(const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        throw host::Exception("cannot write the picture " + path + ": it is a folder");
    char error[kTextBuffer] = {};
    if (!entries_.WritePng(picture_, path.c_str(), error, sizeof error))
        throw host::Exception("cannot write the picture " + path + ": " + error);
}

std::string TGraphicsModule::MatchFontFile(const std::string& name) const {
    char file[kTextBuffer] = {};
    return entries_.MatchFontFile(name.c_str(), file, sizeof file) ? file : "";
}

TFaceMetrics TGraphicsModule::Face(const std::string& fontFile) const {
    TFaceMetrics metrics;
    char error[kTextBuffer] = {};
    if (!entries_.Face(fontFile.c_str(), &metrics, error, sizeof error)) throw host::Exception(error);
    return metrics;
}

int TGraphicsModule::Advance(const std::string& fontFile, int emPixels, char32_t character) const {
    return entries_.Advance(fontFile.c_str(), emPixels, character);
}

std::unique_ptr<TPicture> TGraphicsModule::NewPicture(int width, int height, TRgb background) const {
    return std::make_unique<TPicture>(entries_, width, height, background);
}

// Loaded once and kept: fonts and faces outlive every form.
const TGraphicsModule& Graphics() {
    static const TGraphicsModule module(Load());
    return module;
}

}  // namespace headless
