#pragma once
// The window-system platforms Qt can start here, found before the application object exists, where
// Qt looks for them.
#include <set>
#include <string>

namespace ui::PlatformPlugins {

// The names (lower case) that the installed platform plugins answer to, from the plugin folders Qt
// searches and, when one is given, the platform plugin folder (-platformpluginpath or
// QT_QPA_PLATFORM_PLUGIN_PATH). Read from the plugins' metadata: none is loaded.
std::set<std::string> Installed(const std::string& platformPluginFolder);

}  // namespace ui::PlatformPlugins
