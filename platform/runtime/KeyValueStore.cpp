#include "platform/runtime/KeyValueStore.h"

#include "core/support/FileDescriptor.h"
#include "core/support/Log.h"
#include "core/support/PrivateFolder.h"
#include "core/support/Uuid.h"
#include "platform/runtime/LockFile.h"

#include <QFile>
#include <QLockFile>
#include <QSettings>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <vector>

namespace platform {

namespace {

auto log() {
    return tandrel::logger("com.ostrevale.tandrel.host", "settings");
}

// A change waits this long at most for another writer of the same file.
constexpr std::chrono::seconds lockWait{10};

// Texts joined by appending (GCC 12 warns falsely on "x" + text + "y" at -O3).
std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

QString qtPath(const std::filesystem::path &path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
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

// Said once per file and reason: the store is opened at every call.
void tellRefusal(const std::filesystem::path &file, const std::string &why) {
    static std::mutex lock;
    static std::set<std::string> told;
    const std::lock_guard guard(lock);
    if (told.insert(joined({file.native(), "\n", why})).second) {
        log()->error("Settings file {} is neither read nor written: {}", file.string(), why);
    }
}

// What QSettings (through its save file, "<name>.XXXXXX") and the first write of a file
// ("." + name + ".XXXXXXXX.tmp") leave in the folder when they are killed half-way. Every
// writer of the file makes them while it holds the file's lock, so with the lock held they are
// all left over.
bool isLeftoverOf(const std::string &entry, const std::string &name) {
    const auto alphanumeric = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
    };
    // QSettings's save file beside the file itself.
    if (entry.size() == name.size() + 7 && entry.starts_with(name) && entry[name.size()] == '.') {
        return alphanumeric(std::string_view(entry).substr(name.size() + 1));
    }
    // A first version, and what QSettings makes beside it: its save file and its lock.
    const std::string prefix = joined({".", name, "."});
    if (!entry.starts_with(prefix) || entry.size() < prefix.size() + 12 ||
        !alphanumeric(std::string_view(entry).substr(prefix.size(), 8)) ||
        std::string_view(entry).substr(prefix.size() + 8, 4) != ".tmp") {
        return false;
    }
    const std::string_view rest = std::string_view(entry).substr(prefix.size() + 12);
    return rest.empty() || rest == ".lock" ||
           (rest.size() == 7 && rest[0] == '.' && alphanumeric(rest.substr(1)));
}

void removeLeftovers(const std::filesystem::path &file) {
    const std::string name = file.filename().string();
    std::vector<std::string> found;
    if (DIR *entries = ::opendir(file.parent_path().c_str())) {
        while (const dirent *entry = ::readdir(entries)) {
            if (isLeftoverOf(entry->d_name, name)) {
                found.emplace_back(entry->d_name);
            }
        }
        ::closedir(entries);
    }
    for (const std::string &leftover : found) {
        const std::filesystem::path path = file.parent_path() / leftover;
        struct stat status {};
        // Only the user's own: a file another user put there is no writer's of ours.
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            status.st_uid == ::geteuid() && ::unlink(path.c_str()) == 0) {
            log()->warn("Removed {}, left by a writer of {} that was stopped", path.string(),
                        file.string());
        }
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
        Keeping{standardUserDefaultsFile(), true, true}));
}

std::filesystem::path SettingsKeyValueStore::standardUserDefaultsFile() {
    return QFile::encodeName(QSettings("Ostrevale", "Embrik Host").fileName()).toStdString();
}

std::shared_ptr<SettingsKeyValueStore> SettingsKeyValueStore::iniFile(const QString &path,
                                                                      tandrel::FileAccess access) {
    return std::shared_ptr<SettingsKeyValueStore>(new SettingsKeyValueStore(
        [path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); },
        Keeping{QFile::encodeName(path).toStdString(), access == tandrel::FileAccess::userOnly,
                false}));
}

std::optional<std::string> SettingsKeyValueStore::refusal() const {
    if (!keeping_.userOnly) {
        return std::nullopt;
    }
    const std::filesystem::path &file = keeping_.file;
    try {
        if (keeping_.folderIsOurs) {
            tandrel::PrivateFolder::open(file.parent_path(), tandrel::PrivateFolder::Missing::fail)
                .checkEntry(file.filename().string());
            return std::nullopt;
        }
        struct stat status {};
        if (::stat(file.c_str(), &status) == 0) {
            if (const std::optional<std::string> why = tandrel::whyNotOursAlone(status)) {
                return joined({"\"", file.native(), "\" is refused: ", *why});
            }
        }
    } catch (const tandrel::NotOursError &error) {
        return error.what();
    } catch (const std::filesystem::filesystem_error &) {
        // No folder yet: nothing stored, and a change makes it.
    }
    return std::nullopt;
}

QVariant SettingsKeyValueStore::value(const QString &key) const {
    if (const std::optional<std::string> why = refusal()) {
        tellRefusal(keeping_.file, *why);
        return {};
    }
    return open_()->value(key);
}

bool SettingsKeyValueStore::setValue(const QString &key, const QVariant &value) {
    return change(key, [&](QSettings &settings) { settings.setValue(key, value); });
}

bool SettingsKeyValueStore::setValues(const std::vector<std::pair<QString, QVariant>> &values) {
    if (values.empty()) {
        return true;
    }
    return change(values.front().first, [&](QSettings &settings) {
        for (const auto &[key, value] : values) {
            settings.setValue(key, value);
        }
    });
}

bool SettingsKeyValueStore::remove(const QString &key) {
    return change(key, [&](QSettings &settings) { settings.remove(key); });
}

bool SettingsKeyValueStore::change(const QString &key,
                                   const std::function<void(QSettings &)> &edit) {
    if (!keeping_.userOnly) {
        const auto settings = open_();
        edit(*settings);
        return written(*settings, key);
    }
    const std::filesystem::path &file = keeping_.file;
    // The folder first, the user's alone (QSettings would make it as the umask allows).
    try {
        if (keeping_.folderIsOurs) {
            tandrel::PrivateFolder::open(file.parent_path(),
                                         tandrel::PrivateFolder::Missing::create);
        } else {
            tandrel::createFolders(file.parent_path(), tandrel::FileAccess::userOnly);
        }
    } catch (const tandrel::NotOursError &error) {
        tellRefusal(file, error.what());
        return false;
    } catch (const std::filesystem::filesystem_error &) {
        // Then the file cannot be made either, and the write says so.
    }
    if (const std::optional<std::string> why = refusal()) {
        tellRefusal(file, *why);
        return false;
    }
    {
        QLockFile lock(qtPath(file) + QStringLiteral(".lock"));
        if (!tryLock(lock, lockWait)) {
            log()->error("\"{}\" not stored in {}: another writer holds it", key.toStdString(),
                         file.string());
            return false;
        }
        removeLeftovers(file);
        struct stat status {};
        if (::stat(file.c_str(), &status) != 0) {
            // Made whole under the lock: readers never see it empty.
            return writeFirstVersion(key, edit);
        }
        // Unlocked again: QSettings takes the same lock for its own write.
    }
    // QSaveFile, under QSettings, replaces it whole and keeps its permissions; a link in its
    // place is never narrowed (what it names keeps its mode).
    std::error_code error;
    if (!tandrel::restrictToUser(file, error) &&
        error != std::errc::too_many_symbolic_link_levels) {
        log()->warn("Settings file {} may be readable by others: {}", file.string(),
                    error.message());
    }
    const auto settings = open_();
    edit(*settings);
    return written(*settings, key);
}

bool SettingsKeyValueStore::writeFirstVersion(const QString &key,
                                              const std::function<void(QSettings &)> &edit) {
    const std::filesystem::path &file = keeping_.file;
    const std::filesystem::path temporary =
        file.parent_path() / joined({".", file.filename().native(), ".",
                                     tandrel::Uuid::random().uuidString().substr(0, 8), ".tmp"});
    {
        const tandrel::FileDescriptor made(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (made.get() < 0) {
            log()->error("\"{}\" not stored in {}: {}", key.toStdString(), file.string(),
                         std::error_code(errno, std::generic_category()).message());
            return false;
        }
    }
    bool stored = false;
    {
        // The user defaults' own format is the INI format on this system.
        QSettings settings(qtPath(temporary), QSettings::IniFormat);
        edit(settings);
        stored = written(settings, key);
    }
    if (stored && ::rename(temporary.c_str(), file.c_str()) != 0) {
        log()->error("\"{}\" not stored in {}: {}", key.toStdString(), file.string(),
                     std::error_code(errno, std::generic_category()).message());
        stored = false;
    }
    if (!stored) {
        ::unlink(temporary.c_str());
    }
    return stored;
}

} // namespace platform
