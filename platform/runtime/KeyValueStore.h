#pragma once

#include "core/support/FileAccess.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QSettings;

namespace platform {

// A store of values by key that outlives the process: the host's user defaults, and the suite
// the host shares with the editor panel. Values are strings, data, numbers, Booleans and
// dictionaries of them. Not synchronised: one thread at a time.
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;

    // Invalid when nothing is stored under the key.
    virtual QVariant value(const QString &key) const = 0;
    // False when the change could not be stored: it may hold for this run and be gone at the
    // next (a settings file the user cannot write, a full disk).
    virtual bool setValue(const QString &key, const QVariant &value) = 0;
    // Stores several values as one change: a store that writes a file writes it once.
    virtual bool setValues(const std::vector<std::pair<QString, QVariant>> &values);
    virtual bool remove(const QString &key) = 0;

    // The value as that kind; nothing when absent or of another kind.
    std::optional<QString> string(const QString &key) const;
    std::optional<QByteArray> data(const QString &key) const;
    std::optional<QVariantMap> dictionary(const QString &key) const;
};

// Values in memory only, gone with the object: tests, and runs that must leave the user's
// settings alone.
class MemoryKeyValueStore final : public KeyValueStore {
public:
    QVariant value(const QString &key) const override;
    bool setValue(const QString &key, const QVariant &value) override;
    bool remove(const QString &key) override;

private:
    QHash<QString, QVariant> values_;
};

// Values in QSettings, opened afresh on every call, so that what another process wrote is
// read at once and every change is written out before the call returns.
//
// A store of the user's alone (the user defaults, and `userOnly` suites) is never read from or
// written to a file (or, for the user defaults, a folder) that another user owns or may write:
// such a store reads as empty, refuses changes and says why in the log. Its file is replaced
// whole at every change, the first time too (it appears with its first values, never empty),
// and nothing a killed writer leaves (a temporary file, a lock without an owner) stays for
// good: the next change takes it away.
class SettingsKeyValueStore final : public KeyValueStore {
public:
    // The host's user defaults: organisation "Ostrevale", application "Embrik Host". They hold
    // the presets (the texts burned in), the watched libraries and the served timeline, so
    // the file is the user's alone (0600 in a folder made 0700), as with `userOnly` below.
    static std::shared_ptr<SettingsKeyValueStore> standardUserDefaults();
    // Their file: "Ostrevale/Embrik Host.conf" in the user's settings folder.
    static std::filesystem::path standardUserDefaultsFile();
    // A suite in an INI file of its own. With `userOnly` the file is the user's alone (0600),
    // also when it was made wider before: it is narrowed, or made so, before each write.
    static std::shared_ptr<SettingsKeyValueStore>
    iniFile(const QString &path, tandrel::FileAccess access = tandrel::FileAccess::standard);

    QVariant value(const QString &key) const override;
    bool setValue(const QString &key, const QVariant &value) override;
    bool setValues(const std::vector<std::pair<QString, QVariant>> &values) override;
    bool remove(const QString &key) override;

private:
    // How the file is kept: whether it is the user's alone, and whether its folder must be too
    // (the user defaults' folder is ours; an INI file may be anywhere the user names).
    struct Keeping {
        std::filesystem::path file;
        bool userOnly = false;
        bool folderIsOurs = false;
    };

    SettingsKeyValueStore(std::function<std::unique_ptr<QSettings>()> open, Keeping keeping)
        : open_(std::move(open)), keeping_(std::move(keeping)) {}

    // Why the file may be neither read nor written; nothing when it may.
    std::optional<std::string> refusal() const;
    bool change(const QString &key, const std::function<void(QSettings &)> &edit);
    bool writeFirstVersion(const QString &key, const std::function<void(QSettings &)> &edit);

    std::function<std::unique_ptr<QSettings>()> open_;
    Keeping keeping_;
};

} // namespace platform
