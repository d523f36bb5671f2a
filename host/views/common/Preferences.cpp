#include "host/views/common/Preferences.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tandrel {

Preferences::Preferences(std::shared_ptr<platform::KeyValueStore> store, QObject *parent)
    : QObject(parent), store_(std::move(store)) {}

QVariant Preferences::stored(const QString &key) const {
    for (const auto &[heldKey, value] : held_) {
        if (heldKey == key) {
            return value;
        }
    }
    return store_->value(key);
}

double Preferences::number(const QString &key, double fallback) const {
    const QVariant stored = this->stored(key);
    bool ok = false;
    const double value = stored.toDouble(&ok);
    return stored.isValid() && ok ? value : fallback;
}

QString Preferences::text(const QString &key, const QString &fallback) const {
    const QVariant stored = this->stored(key);
    return stored.isValid() && stored.canConvert<QString>() ? stored.toString() : fallback;
}

void Preferences::setValue(const QString &key, const QVariant &value) {
    setValues({{key, value}});
}

void Preferences::hold(const QString &key, const QVariant &value) {
    if (stored(key) == value) {
        return;
    }
    const auto same =
        std::ranges::find_if(held_, [&key](const auto &entry) { return entry.first == key; });
    if (same != held_.end()) {
        same->second = value;
    } else {
        held_.emplace_back(key, value);
    }
    emit changed(key);
}

void Preferences::store() {
    std::vector<std::pair<QString, QVariant>> changed;
    for (const auto &[key, value] : std::exchange(held_, {})) {
        if (store_->value(key) != value) {
            changed.emplace_back(key, value);
        }
    }
    if (changed.size() == 1) {
        store_->setValue(changed[0].first, changed[0].second);
    } else if (!changed.empty()) {
        store_->setValues(changed);
    }
}

void Preferences::setValues(const std::vector<std::pair<QString, QVariant>> &values) {
    std::vector<std::pair<QString, QVariant>> written;
    std::vector<QString> announced;
    for (const auto &[key, value] : values) {
        const QVariant before = stored(key);
        // What is stored now replaces what was held.
        std::erase_if(held_, [&key](const auto &entry) { return entry.first == key; });
        if (store_->value(key) != value) {
            written.emplace_back(key, value);
        }
        if (before != value) {
            announced.push_back(key);
        }
    }
    if (written.size() == 1) {
        store_->setValue(written[0].first, written[0].second);
    } else if (!written.empty()) {
        store_->setValues(written);
    }
    for (const QString &key : announced) {
        emit changed(key);
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
