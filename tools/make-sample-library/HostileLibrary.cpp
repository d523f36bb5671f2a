#include "tools/make-sample-library/HostileLibrary.h"

#include "core/support/TextSplit.h"
#include "core/support/UnicodeText.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <map>
#include <set>
#include <stdexcept>

namespace tandrel::sample {

namespace {

// Gives each name of the sample a text of its own, the same one wherever the name stands.
class Renamer {
public:
    explicit Renamer(const std::vector<std::string> &texts) : texts_(texts) {
        if (texts_.empty()) {
            throw std::invalid_argument("a hostile library needs texts to name it with");
        }
    }

    // What names a project that no other sequence of the library shares its name with, and
    // what names anything else.
    enum class Role { loneTimeline, other };

    const std::string &operator()(const std::string &name, Role role = Role::other) {
        const auto known = given_.find(name);
        if (known != given_.end()) {
            return texts_[known->second];
        }
        // A text of megabytes names one timeline, no more: reading a library costs what its
        // bytes do, whatever they spell, and one such name shows what it does to every view,
        // line and file that names the timeline (its clips' texts are the snapshot's).
        // (A name two timelines share is stored twice.)
        // The first such projects take the texts of megabytes, one each.
        if (role == Role::loneTimeline) {
            for (std::size_t text = 0; text < texts_.size(); ++text) {
                if (isHuge(text) && !hugeUses_.contains(text)) {
                    hugeUses_.insert(text);
                    given_.emplace(name, text);
                    return texts_[text];
                }
            }
        }
        std::size_t text = next_;
        for (std::size_t tried = 0; tried < texts_.size() && isHuge(text); ++tried) {
            text = (text + 1) % texts_.size();
        }
        given_.emplace(name, text);
        next_ = (text + 1) % texts_.size();
        return texts_[text];
    }

    // A folder name for `name`, apart from those given already. Folders take the texts from
    // the last one back, so that their short names differ from the first names' shapes.
    std::string folder(const std::string &name) {
        const auto known = folders_.find(name);
        if (known != folders_.end()) {
            return known->second;
        }
        const std::string &text = texts_[texts_.size() - 1 - folders_.size() % texts_.size()];
        std::string folder = folderNameOf(text);
        for (int number = 2; taken_.contains(folder); ++number) {
            folder = std::to_string(number);
            folder.append(" ").append(folderNameOf(text));
        }
        taken_.insert(folder);
        folders_.emplace(name, folder);
        return folder;
    }

    HostileNaming naming() const {
        HostileNaming naming{{}, folders_};
        for (const auto &[name, text] : given_) {
            naming.names.emplace(name, texts_[text]);
        }
        return naming;
    }

private:
    bool isHuge(std::size_t text) const { return texts_[text].size() > hugeTextBytes; }
    static constexpr std::size_t hugeTextBytes = 1 << 20;

    const std::vector<std::string> &texts_;
    std::set<std::size_t> hugeUses_;
    std::map<std::string, std::size_t> given_;
    std::size_t next_ = 0;
    std::map<std::string, std::string> folders_;
    std::set<std::string> taken_;
};

void rename(Clip &clip, Renamer &renamed) {
    if (clip.kind != Clip::Kind::gap) {
        clip.name = renamed(clip.name);
    }
    for (Clip &item : clip.items) {
        rename(item, renamed);
    }
    for (Connection &connection : clip.connected) {
        rename(connection.item, renamed);
    }
}

void rename(Role &role, Renamer &renamed) {
    if (role.name) {
        role.name = renamed(*role.name);
    }
    for (Role &sub : role.subRoles) {
        rename(sub, renamed);
    }
}

} // namespace

std::string folderNameOf(const std::string &text) {
    std::string name;
    for (const char c : utf8Prefix(text, maxFolderNameBytes)) {
        if (c == '/') {
            name += "\u2215";
        } else if (c == '\0') {
            name += "\u2400";
        } else {
            name += c;
        }
    }
    name = std::string(utf8Prefix(name, maxFolderNameBytes));
    if (name.empty() || name == "." || name == "..") {
        std::string marked(1, '_');
        marked += name;
        return marked;
    }
    return name;
}

LibraryDescription hostileSampleLibrary(const std::vector<std::string> &texts,
                                        HostileNaming *naming) {
    LibraryDescription library = standardSampleLibrary();
    Renamer renamed(texts);
    library.name = renamed.folder(library.name);
    std::map<std::string, int> timelineNames;
    for (const Event &event : library.events) {
        for (const Timeline &timeline : event.timelines) {
            ++timelineNames[timeline.name];
        }
    }
    for (Event &event : library.events) {
        std::string folder;
        for (const std::string_view part : splitNonEmpty(event.folder, "/")) {
            if (!folder.empty()) {
                folder += '/';
            }
            folder += renamed.folder(std::string(part));
        }
        event.folder = folder;
        for (Timeline &timeline : event.timelines) {
            // A project the library lists as a timeline of its own.
            const bool lone =
                timeline.kind == Timeline::Kind::project && timelineNames[timeline.name] == 1;
            timeline.name =
                renamed(timeline.name, lone ? Renamer::Role::loneTimeline : Renamer::Role::other);
            for (Clip &clip : timeline.spine) {
                rename(clip, renamed);
            }
        }
        for (Multicam &multicam : event.multicams) {
            multicam.name = renamed(multicam.name);
            for (Angle &angle : multicam.angles) {
                angle.name = renamed(angle.name);
                for (Clip &clip : angle.items) {
                    rename(clip, renamed);
                }
            }
        }
        for (Media &media : event.media) {
            media.fileName = renamed(media.fileName);
        }
        for (Role &role : event.roles) {
            rename(role, renamed);
        }
    }
    if (naming != nullptr) {
        *naming = renamed.naming();
    }
    return library;
}

} // namespace tandrel::sample
