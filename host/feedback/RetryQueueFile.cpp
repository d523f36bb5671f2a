#include "host/feedback/RetryQueueFile.h"

#include "core/support/AtomicFileWriter.h"
#include "core/support/FileAccess.h"
#include "core/support/Log.h"
#include "core/support/PrivateFolder.h"
#include "core/support/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <ctime>
#include <system_error>

namespace tandrel {

namespace {

std::shared_ptr<spdlog::logger> feedbackLog() {
    return logger("com.ostrevale.tandrel.host", "feedback");
}

// "20260310T142501Z": sortable, and free of characters that some file systems refuse.
std::string utcStamp(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y%m%dT%H%M%SZ", &utc);
    return std::string(text.data(), length);
}

} // namespace

RetryQueueFile::RetryQueueFile(std::filesystem::path path, Clock clock, std::size_t maxBytes)
    : path_(std::move(path)), clock_(std::move(clock)), maxBytes_(maxBytes) {}

RetryQueueFile::Read RetryQueueFile::readBytes(std::string &bytes) {
    RegularFileRead read;
    try {
        const PrivateFolder folder =
            PrivateFolder::open(path_.parent_path(), PrivateFolder::Missing::fail);
        read = folder.read(path_.filename().string(), maxBytes_);
    } catch (const NotOursError &error) {
        refuse(error.what());
        return Read::refused;
    } catch (const std::filesystem::filesystem_error &error) {
        read.error = error.code();
    }
    if (read.status != RegularFileRead::Status::read) {
        return read.error == std::errc::no_such_file_or_directory ||
                       read.error == std::errc::not_a_directory
                   ? Read::absent
                   : Read::unreadable;
    }
    bytes = std::move(read.bytes);
    return Read::read;
}

void RetryQueueFile::refuse(const std::string &why) {
    if (refusal_ != why) {
        feedbackLog()->error("Retry queue file '{}' is neither read nor written: {}",
                             path_.string(), why);
    }
    refusal_ = why;
}

void RetryQueueFile::setAsideBeforeNextWrite(std::string_view reason) {
    setAside_ = true;
    feedbackLog()->warn("Retry queue file '{}' {}; it is kept aside at the next write",
                        path_.string(), reason);
}

void RetryQueueFile::reportSkipped(std::size_t count) const {
    feedbackLog()->warn("Retry queue file '{}': skipped {} malformed entries", path_.string(),
                        count);
}

void RetryQueueFile::reportTooLarge(std::size_t byteCount) const {
    feedbackLog()->error("Not writing retry queue file '{}': {} bytes exceed its limit of {}",
                         path_.string(), byteCount, maxBytes_);
}

bool RetryQueueFile::moveAside() {
    std::string base = path_.filename().string() + ".corrupt-" + utcStamp(clock_());
    std::error_code error;
    try {
        const PrivateFolder folder =
            PrivateFolder::open(path_.parent_path(), PrivateFolder::Missing::fail);
        std::string target = base;
        struct stat taken {};
        for (int n = 2;
             ::fstatat(folder.descriptor(), target.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0;
             ++n) {
            target = base + "-" + std::to_string(n);
        }
        if (!folder.rename(path_.filename().string(), target, error)) {
            if (error != std::errc::no_such_file_or_directory) {
                feedbackLog()->error("Cannot move retry queue file '{}' aside: {}", path_.string(),
                                     error.message());
                return false;
            }
            return true;
        }
        // It holds the same words as the queue's file.
        std::error_code ignored;
        restrictToUser(folder.path() / target, ignored);
        feedbackLog()->warn("Moved retry queue file '{}' aside to '{}'", path_.string(),
                            (folder.path() / target).string());
    } catch (const NotOursError &refused) {
        refuse(refused.what());
        return false;
    } catch (const std::filesystem::filesystem_error &) {
        // No folder: nothing to keep aside.
    }
    return true;
}

bool RetryQueueFile::writeBytes(std::string_view bytes) {
    // Never write over a file whose content could not be taken in: keep it for the user.
    if (setAside_) {
        if (!moveAside()) {
            return false;
        }
        setAside_ = false;
    }
    try {
        AtomicFileWriter::write(path_, bytes, FileAccess::userOnly);
        refusal_.clear();
        return true;
    } catch (const NotOursError &error) {
        refuse(error.what());
        return false;
    } catch (const std::exception &error) {
        feedbackLog()->error("Cannot write retry queue file '{}': {}", path_.string(),
                             error.what());
        return false;
    }
}

} // namespace tandrel
