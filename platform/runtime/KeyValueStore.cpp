#include "platform/runtime/KeyValueStore.h"

#include "core/support/Log.h"

#include <QFile>
#include <QSettings>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace platform {

namespace {

auto log() {
    return tandrel::logger("com.ostrevale.tandrel.host", "settings");
}

// QSettings keeps a change in its process-wide cache even when the file cannot be written,
// so the run reads it back as stored: only the write's own status tells.
bool written(QSettings &settings, const QString &key) {
    settings.sync();
    if (settings.status() == QSettings::NoError) {
        return true;
    }
    log()->error("\"{}\" not stored in {}: the settings file cannot be {}", key.toStdString(),
                 settings.fileName().toStdString(),
                 settings.status() == QSettings::AccessError ? "written" : "read");
    return false;
}

// QSettings saves through a new file that takes the old one's permissions, or the umask's for
// the first, in a folder it makes as the umask allows: so the folder and the file are there,
// and the user's alone, before it writes. A file that cannot be made or narrowed (a link in
// its place is never followed) leaves the write to fail or succeed on its own.
void keepToUser(const std::filesystem::path &file) {
    try {
        tandrel::createFolders(file.parent_path(), tandrel::FileAccess::userOnly);
    } catch (const std::filesystem::filesystem_error &) {
        // Then the file cannot be made either, and the write says so.
    }
    const int made = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (made >= 0) {
        ::close(made);
        return;
    }
    const int failure = errno;
    std::error_code error(failure, std::generic_category());
    if (failure != EEXIST || !tandrel::restrictToUser(file, error)) {
        log()->warn("Settings file {} may be readable by others: {}", file.string(),
                    error.message());
    }
}

} // namespace

bool KeyValueStore::setValues(const std::vector<std::pair<QString, QVariant>> &values) {
    bool stored = true;
    for (const auto &[key, value] : values) {
        stored = setValue(key, value) && stored;
    }
    return stored;
}

std::optional<QString> KeyValueStore::string(const QString &key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return stored.toString();
}

std::optional<QByteArray> KeyValueStore::data(const QString &key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    return stored.toByteArray();
}

std::optional<QVariantMap> KeyValueStore::dictionary(const QString &key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QVariantMap) {
        return std::nullopt;
    }
    return stored.toMap();
}

QVariant MemoryKeyValueStore::value(const QString &key) const {
    return values_.value(key);
}

bool MemoryKeyValueStore::setValue(const QString &key, const QVariant &value) {
    values_.insert(key, value);
    return true;
}

bool MemoryKeyValueStore::remove(const QString &key) {
    values_.remove(key);
    return true;
}

std::shared_ptr<SettingsKeyValueStore> SettingsKeyValueStore::standardUserDefaults() {
    return std::shared_ptr<SettingsKeyValueStore>(new SettingsKeyValueStore(
        [] { return std::make_unique<QSettings>("Ostrevale", "Embrik Host"); },
        [] { keepToUser(standardUserDefaultsFile()); }));
}

std::filesystem::path SettingsKeyValueStore::standardUserDefaultsFile() {
    return QFile::encodeName(QSettings("Ostrevale", "Embrik Host").fileName()).toStdString();
}

std::shared_ptr<SettingsKeyValueStore> SettingsKeyValueStore::iniFile(const QString &path,
                                                                      tandrel::FileAccess access) {
    std::function<void()> beforeWrite;
    if (access == tandrel::FileAccess::userOnly) {
        beforeWrite = [file = std::filesystem::path(QFile::encodeName(path).toStdString())] {
            keepToUser(file);
        };
    }
    return std::shared_ptr<SettingsKeyValueStore>(new SettingsKeyValueStore(
        [path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); },
        std::move(beforeWrite)));
}

std::unique_ptr<QSettings> SettingsKeyValueStore::openForWriting() const {
    if (beforeWrite_) {
        beforeWrite_();
    }
    return open_();
}

QVariant SettingsKeyValueStore::value(const QString &key) const {
    return open_()->value(key);
}

bool SettingsKeyValueStore::setValue(const QString &key, const QVariant &value) {
    const auto settings = openForWriting();
    settings->setValue(key, value);
    return written(*settings, key);
}

bool SettingsKeyValueStore::setValues(const std::vector<std::pair<QString, QVariant>> &values) {
    if (values.empty()) {
        return true;
    }
    const auto settings = openForWriting();
    for (const auto &[key, value] : values) {
        settings->setValue(key, value);
    }
    return written(*settings, values.front().first);
}

bool SettingsKeyValueStore::remove(const QString &key) {
    const auto settings = openForWriting();
    settings->remove(key);
    return written(*settings, key);
}

} // namespace platform
