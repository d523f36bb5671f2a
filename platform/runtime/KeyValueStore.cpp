#include "platform/runtime/KeyValueStore.h"

#include "core/support/Log.h"

#include <QSettings>

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

} // namespace

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
        [] { return std::make_unique<QSettings>("Ostrevale", "Embrik Host"); }));
}

std::shared_ptr<SettingsKeyValueStore> SettingsKeyValueStore::iniFile(const QString &path) {
    return std::shared_ptr<SettingsKeyValueStore>(new SettingsKeyValueStore(
        [path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); }));
}

QVariant SettingsKeyValueStore::value(const QString &key) const {
    return open_()->value(key);
}

bool SettingsKeyValueStore::setValue(const QString &key, const QVariant &value) {
    const auto settings = open_();
    settings->setValue(key, value);
    return written(*settings, key);
}

bool SettingsKeyValueStore::remove(const QString &key) {
    const auto settings = open_();
    settings->remove(key);
    return written(*settings, key);
}

} // namespace platform
