#include "app/StartupPreload.h"

#include <QLibraryInfo>
#include <QString>

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <system_error>

StartupPreload::StartupPreload() {
    QByteArray plugin = symbolImagePlugin();
    try {
        m_thread = std::thread([plugin = std::move(plugin)] {
            FcInit();
            // Bound at once, so that its symbols are found here rather than by the main thread. The toolkit's own
            // load of the same file finds it loaded; the handle stays open for the life of the process, as the
            // toolkit's does.
            if (!plugin.isEmpty())
                dlopen(plugin.constData(), RTLD_NOW | RTLD_LOCAL);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the toolkit does both itself when it first needs them.
    }
}

QByteArray StartupPreload::symbolImagePlugin() {
    return QString(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/imageformats/libqsvg.so"))
        .toLocal8Bit();
}

StartupPreload::~StartupPreload() {
    wait();
}

void StartupPreload::wait() {
    if (m_thread.joinable())
        m_thread.join();
}
