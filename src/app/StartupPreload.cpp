#include "app/StartupPreload.h"

#include <fontconfig/fontconfig.h>
#include <system_error>

StartupPreload::StartupPreload() {
    try {
        m_thread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: the toolkit reads the configuration when it first needs it.
    }
}

StartupPreload::~StartupPreload() {
    wait();
}

void StartupPreload::wait() {
    if (m_thread.joinable())
        m_thread.join();
}
