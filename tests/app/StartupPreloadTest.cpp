// The start-up preload loads the symbols' image plugin, and the toolkit draws symbols with the loaded one.

#include "app/StartupPreload.h"

#include "ui/Theme.h"

#include <QImage>
#include <QPixmap>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

bool pluginLoaded() {
    void* handle = dlopen(StartupPreload::symbolImagePlugin().constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

} // namespace

TEST(StartupPreload, LoadsTheSymbolPluginThatTheToolkitThenDrawsWith) {
    if (pluginLoaded())
        GTEST_SKIP() << "the plugin was loaded before the test began";
    // Ended without a wait, as when another instance holds the data folder: its destructor waits for the thread.
    { StartupPreload preload; }
    EXPECT_TRUE(pluginLoaded());
    StartupPreload again;
    again.wait();
    again.wait(); // nothing left to wait for
    EXPECT_TRUE(pluginLoaded()) << "loading it again is harmless";

    // A themed symbol is read through the plugin: it draws, in its tint.
    const QImage drawn = halvo::theme::tintedIcon(QStringLiteral("trash"), halvo::theme::color(halvo::theme::Tint::red))
                             .pixmap(QSize(32, 32))
                             .toImage();
    ASSERT_FALSE(drawn.isNull());
    bool inked = false;
    for (int y = 0; y < drawn.height() && !inked; ++y)
        for (int x = 0; x < drawn.width() && !inked; ++x)
            inked = drawn.pixelColor(x, y).alpha() > 200;
    EXPECT_TRUE(inked);
}
