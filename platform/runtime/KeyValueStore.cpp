#include "platform/runtime/KeyValueStore.h"

#include <QSettings>

namespace platform {

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

void MemoryKeyValueStore::setValue(const QString &key, const QVariant &value) {
    values_.insert(key, value);
}

void MemoryKeyValueStore::remove(const QString &key) {
    values_.remove(key);
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

void SettingsKeyValueStore::setValue(const QString &key, const QVariant &value) {
    open_()->setValue(key, value);
}

void SettingsKeyValueStore::remove(const QString &key) {
    open_()->remove(key);
}

} // namespace platform
