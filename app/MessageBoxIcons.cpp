#include "MessageBoxIcons.h"

#include <dlfcn.h>

#include <string>

namespace {

// The calls are looked up in the GTK library wx already uses, so the build
// needs no GTK headers; without them nothing changes.
struct IconThemeCalls {
    using GetDefault = void* (*)();
    using HasIcon = int (*)(void*, const char*);
    using LoadIcon = void* (*)(void*, const char*, int, int, void**);
    using AddBuiltin = void (*)(const char*, int, void*);
    using Unref = void (*)(void*);
    using FreeError = void (*)(void*);

    GetDefault getDefault = reinterpret_cast<GetDefault>(dlsym(RTLD_DEFAULT, "gtk_icon_theme_get_default"));
    HasIcon hasIcon = reinterpret_cast<HasIcon>(dlsym(RTLD_DEFAULT, "gtk_icon_theme_has_icon"));
    LoadIcon loadIcon = reinterpret_cast<LoadIcon>(dlsym(RTLD_DEFAULT, "gtk_icon_theme_load_icon"));
    AddBuiltin addBuiltin = reinterpret_cast<AddBuiltin>(dlsym(RTLD_DEFAULT, "gtk_icon_theme_add_builtin_icon"));
    Unref unref = reinterpret_cast<Unref>(dlsym(RTLD_DEFAULT, "g_object_unref"));
    FreeError freeError = reinterpret_cast<FreeError>(dlsym(RTLD_DEFAULT, "g_error_free"));

    bool Ok() const { return getDefault && hasIcon && loadIcon && addBuiltin && unref && freeError; }
};

const IconThemeCalls& Calls() {
    static const IconThemeCalls calls;
    return calls;
}

constexpr const char* kBoxIcons[] = {"dialog-information", "dialog-error", "dialog-question", "dialog-warning"};
// GTK_ICON_SIZE_DIALOG.
constexpr int kDialogIconPixels = 48;

}  // namespace

void ProvideMessageBoxIcons() {
    const IconThemeCalls& gtk = Calls();
    if (!gtk.Ok()) return;
    void* theme = gtk.getDefault();
    if (theme == nullptr) return;
    for (const char* name : kBoxIcons) {
        if (gtk.hasIcon(theme, name)) continue;
        const std::string symbolic = std::string(name) + "-symbolic";
        void* error = nullptr;
        void* pixbuf = gtk.loadIcon(theme, symbolic.c_str(), kDialogIconPixels, 0, &error);
        if (error) gtk.freeError(error);
        if (pixbuf == nullptr) continue;
        gtk.addBuiltin(name, kDialogIconPixels, pixbuf);
        gtk.unref(pixbuf);
    }
}

bool MessageBoxIconsAvailable() {
    const IconThemeCalls& gtk = Calls();
    if (!gtk.Ok()) return false;
    void* theme = gtk.getDefault();
    if (theme == nullptr) return false;
    for (const char* name : kBoxIcons) {
        if (!gtk.hasIcon(theme, name)) return false;
    }
    return true;
}
