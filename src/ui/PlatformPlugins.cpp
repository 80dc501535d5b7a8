#include "ui/PlatformPlugins.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

#include <filesystem>
#include <system_error>

namespace ui::PlatformPlugins {
namespace {

// Qt's library paths as it builds them (QT_PLUGIN_PATH, its own plugin folder, the program's folder),
// each with its platforms folder.
QStringList PlatformFolders() {
    QStringList libraryPaths = qEnvironmentVariable("QT_PLUGIN_PATH").split(':', Qt::SkipEmptyParts);
    libraryPaths.append(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        libraryPaths.append(QString::fromStdString(program.parent_path().string()));
    QStringList folders;
    for (const QString& path : libraryPaths)
        folders.append(path + "/platforms");
    return folders;
}

void AddKeys(const QString& folder, std::set<std::string>& keys) {
    const QDir dir(folder);
    for (const QString& file : dir.entryList(QDir::Files)) {
        const QJsonObject metaData = QPluginLoader(dir.filePath(file)).metaData();
        for (const QJsonValue key : metaData.value("MetaData").toObject().value("Keys").toArray())
            keys.insert(key.toString().toLower().toStdString());
    }
}

}  // namespace

std::set<std::string> Installed(const std::string& platformPluginFolder) {
    QStringList folders = PlatformFolders();
    if (!platformPluginFolder.empty())
        folders.append(QString::fromStdString(platformPluginFolder));
    std::set<std::string> keys;
    for (const QString& folder : folders)
        AddKeys(folder, keys);
    return keys;
}

}  // namespace ui::PlatformPlugins
