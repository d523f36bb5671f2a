#include "host/views/common/Preferences.h"

#include <cmath>

namespace tandrel {

Preferences::Preferences(std::shared_ptr<platform::KeyValueStore> store, QObject *parent)
    : QObject(parent), store_(std::move(store)) {}

double Preferences::number(const QString &key, double fallback) const {
    const QVariant stored = store_->value(key);
    bool ok = false;
    const double value = stored.toDouble(&ok);
    return stored.isValid() && ok ? value : fallback;
}

QString Preferences::text(const QString &key, const QString &fallback) const {
    const QVariant stored = store_->value(key);
    return stored.isValid() && stored.canConvert<QString>() ? stored.toString() : fallback;
}

void Preferences::setValue(const QString &key, const QVariant &value) {
    if (store_->value(key) == value) {
        return;
    }
    store_->setValue(key, value);
    emit changed(key);
}

void Preferences::setValues(const std::vector<std::pair<QString, QVariant>> &values) {
    std::vector<std::pair<QString, QVariant>> changed;
    for (const auto &[key, value] : values) {
        if (store_->value(key) != value) {
            changed.emplace_back(key, value);
        }
    }
    if (changed.empty()) {
        return;
    }
    store_->setValues(changed);
    for (const auto &[key, value] : changed) {
        emit this->changed(key);
    }
}

double Preferences::glassDarkness() const {
    const double fallback = AppearanceSettings::defaults().glassDarkness;
    const double stored = number(glassDarknessKey, fallback);
    return std::isfinite(stored) ? stored : fallback;
}

AppearanceSettings Preferences::appearance() const {
    const AppearanceSettings defaults = AppearanceSettings::defaults();
    return {glassDarkness(),
            text(baseColorHexKey, defaults.baseColorHex),
            text(sidebarColorHexKey, defaults.sidebarColorHex),
            number(sidebarDarknessDeltaKey, defaults.sidebarDarknessDelta)};
}

} // namespace tandrel
