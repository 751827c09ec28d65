// Finds and loads the picture and font module, and gives its table of C
// functions the interface's shape.

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include <GraphicsModule.h>
#include <platform/host/rtl/BasicText.h>
#include <platform/host/rtl/SysUtils.h>
#include <platform/posix/Files.h>

namespace headless {

namespace {

constexpr std::size_t kTextBuffer = 4096;

// By absolute path only: a bare name goes to the library path, and the name
// dladdr gives a program is the one it was started by, which may lead to the
// current folder. Code in a shared library (the package library, wherever a
// program loads it from) finds the module beside it, as the loader named it.
std::string ModulePath() {
    Dl_info info{};
    link_map* map = nullptr;
    if (::dladdr1(reinterpret_cast<void*>(&ModulePath), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) != 0 &&
        map && map->l_name && map->l_name[0] == '/') {
        const auto beside = std::filesystem::path(map->l_name).parent_path() / kGraphicsModuleFile;
        std::error_code ignored;
        if (std::filesystem::exists(beside, ignored)) return beside.string();
    }
    const std::string installed =
        posixfiles::Join(std::string(posixfiles::LibraryFolderFromProgram()), kGraphicsModuleFile);
    return posixfiles::FindBesideProgram({kGraphicsModuleFile, installed});
}

const TGraphicsEntries& Load() {
    const std::string path = ModulePath();
    if (path.empty())
        throw host::Exception(std::string("cannot find the picture and font module ") + kGraphicsModuleFile +
                              " beside the program or in its library folder");
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

namespace {

struct PngFile {
    const posixfiles::Descriptor& fd;
    const std::string& path;
    std::string error = {};
};

bool WriteToFile(void* to, const unsigned char* data, std::size_t size) {
    auto* file = static_cast<PngFile*>(to);
    try {
        posixfiles::WriteAll(file->fd.Get(), {reinterpret_cast<const char*>(data), size}, file->path);
        return true;
    } catch (const posixfiles::FileError& error) {
        file->error = error.what();
        return false;
    }
}

}  // namespace

void TPicture::WritePng(const std::string& path) {
    const auto failed = [&](const std::string& why) { return host::Exception("cannot write the picture: " + why); };
    posixfiles::Descriptor fd;
    try {
        fd = posixfiles::CreateNew(path, 0666);
    } catch (const posixfiles::FileError& error) {
        throw failed(error.what());
    }
    PngFile file{fd, path};
    char error[kTextBuffer] = {};
    std::string why = file.error;
    if (!entries_.WritePng(picture_, WriteToFile, &file, error, sizeof error) && why.empty())
        why = host::CannotText("write", path, error);
    if (why.empty() && fd.Close() != 0) why = host::CannotText("write", path, errno);
    if (why.empty()) return;
    ::unlink(path.c_str());
    throw failed(why);
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
