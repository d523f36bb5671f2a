#pragma once

#include "host/views/common/MainWindowAppearance.h"
#include "platform/runtime/KeyValueStore.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

namespace tandrel {

// The interface preferences of the host's views, in the host's user defaults. One object for
// the whole host: every view reads and writes them here, so a change made in one window (the
// settings window) shows at once in every other (`changed`). Each key has one default, kept
// here, so two views never disagree about a value that was never written.
class Preferences : public QObject {
    Q_OBJECT

public:
    static constexpr const char *glassDarknessKey = "windowGlassDarkness";
    static constexpr const char *baseColorHexKey = "corvaneBaseColorHex";
    static constexpr const char *sidebarColorHexKey = "corvaneSidebarColorHex";
    static constexpr const char *sidebarDarknessDeltaKey = "corvaneSidebarDarknessDelta";
    static constexpr const char *appearancePresetIDKey = "corvaneAppearancePresetID";
    // Written by the split shell itself, in the same user defaults, 220 to 400.
    static constexpr const char *sidebarWidthKey = "sidebarWidth";
    static constexpr const char *expandedEventsKey = "Tandrel.ExpandedEvents";
    // Written by the preset file dialogs, in the host's user defaults: the folder the last
    // preset file was chosen in, where the next dialog opens, also after a restart.
    static constexpr const char *presetFileFolderKey = "presetFileFolder";

    explicit Preferences(std::shared_ptr<platform::KeyValueStore> store, QObject *parent = nullptr);

    // A stored number (also one stored as text, as settings files keep them), else `fallback`.
    double number(const QString &key, double fallback) const;
    // A stored text, else `fallback`.
    QString text(const QString &key, const QString &fallback) const;
    // Stores the value and announces the key, when it differs from what is stored.
    void setValue(const QString &key, const QVariant &value);
    // Stores those of the values that differ from what is stored, in one write, then announces
    // each of their keys.
    void setValues(const std::vector<std::pair<QString, QVariant>> &values);
    // A value that every reader sees and every window follows at once, but that is stored only
    // when the gesture giving it ends (store()): a slider's drag is one write, not one a step.
    void hold(const QString &key, const QVariant &value);
    // Stores the held values, in one write.
    void store();

    // The store they are kept in, for the views that keep a value of their own in it (the
    // split shell's width).
    const std::shared_ptr<platform::KeyValueStore> &userDefaults() const { return store_; }

    // The window darkness; a stored value that is not a finite number reads as the default.
    double glassDarkness() const;
    // The main window's colours, with their defaults.
    AppearanceSettings appearance() const;

signals:
    void changed(const QString &key);

private:
    QVariant stored(const QString &key) const;

    std::shared_ptr<platform::KeyValueStore> store_;
    std::vector<std::pair<QString, QVariant>> held_;
};

} // namespace tandrel
