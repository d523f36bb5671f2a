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

    const std::string &operator()(const std::string &name) {
        auto [found, added] = given_.try_emplace(name, next_);
        if (added) {
            next_ = (next_ + 1) % texts_.size();
        }
        return texts_[found->second];
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

private:
    const std::vector<std::string> &texts_;
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

LibraryDescription hostileSampleLibrary(const std::vector<std::string> &texts) {
    LibraryDescription library = standardSampleLibrary();
    Renamer renamed(texts);
    library.name = renamed.folder(library.name);
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
            timeline.name = renamed(timeline.name);
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
    return library;
}

} // namespace tandrel::sample
