#include "FormOracle.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <OmbralCreateUnit/OmbralCreateUnit.h>

namespace fuzzform {

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "form oracle: %s\n", what);
    std::abort();
}

void RegisterOnce() {
    static const bool registered = [] {
        host::RegisterClass(host::TypeInfo<host::TComponent>());
        host::RegisterClass(host::TypeInfo<OmbralCreateUnit::TOmbralCreator>());
        return true;
    }();
    (void)registered;
}

}  // namespace

void CheckAcceptedForm(const host::TFormObject& form) {
    RegisterOnce();
    host::String text;
    try {
        text = host::WriteTextForm(form);
    } catch (const host::EWriteError&) {
        return;  // a number the text cannot hold
    }
    try {
        const host::TFormObject again = host::ReadTextForm(text);
        if (host::WriteTextForm(again) != text) Broken("text changed on a second round");
        const host::String binary = host::WriteBinaryForm(again);
        if (host::WriteBinaryForm(host::ReadBinaryForm(binary)) != binary) Broken("binary changed on a round");
    } catch (const host::Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Broken("a form that was written could not be read back");
    }
    try {
        host::TComponent owner(nullptr);
        std::unique_ptr<host::TComponent> read(host::ReadComponent(form, &owner));
        read.reset();
        if (owner.ComponentCount() != 0) Broken("components left behind");
    } catch (const host::EReadError&) {
    }
}

int FuzzReader(host::TFormObject (*read)(std::string_view), const std::uint8_t* data, std::size_t size) {
    host::TFormObject form;
    try {
        form = read({reinterpret_cast<const char*>(data), size});
    } catch (const host::EReadError&) {
        return 0;
    }
    CheckAcceptedForm(form);
    return 0;
}

}  // namespace fuzzform
