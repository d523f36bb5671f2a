#include "core/database/PropertyListCheck.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tandrel {

namespace {

constexpr size_t trailerSize = 32;
constexpr size_t headerSize = 8;

uint64_t readBigEndian(const uint8_t *p, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        value = (value << 8) | p[i];
    }
    return value;
}

// One object of a binary list as far as the check needs it: where its references are.
struct ObjectShape {
    bool isString = false;
    bool isDictionary = false;
    bool isContainer = false;
    // A UTF-16 string holding U+0000, which the parser cannot take as a dictionary key.
    bool hasNulCharacter = false;
    size_t referencesAt = 0; // byte offset of the first reference
    uint64_t referenceCount = 0;
};

class BinaryList {
public:
    explicit BinaryList(std::span<const uint8_t> data) : data_(data) {}

    std::optional<std::string> readTrailer() {
        if (data_.size() < headerSize + trailerSize) {
            return "binary property list is too short";
        }
        if (std::memcmp(data_.data(), "bplist00", headerSize) != 0) {
            return "binary property list has no header";
        }
        const uint8_t *trailer = data_.data() + data_.size() - trailerSize;
        offsetSize_ = trailer[6];
        referenceSize_ = trailer[7];
        objectCount_ = readBigEndian(trailer + 8, 8);
        topObject_ = readBigEndian(trailer + 16, 8);
        tableOffset_ = readBigEndian(trailer + 24, 8);
        const uint64_t tableEnd = data_.size() - trailerSize;
        if (offsetSize_ < 1 || offsetSize_ > 8 || referenceSize_ < 1 || referenceSize_ > 8) {
            return "binary property list has invalid integer sizes";
        }
        if (objectCount_ == 0 || topObject_ >= objectCount_) {
            return "binary property list has no top object";
        }
        if (tableOffset_ < headerSize || tableOffset_ > tableEnd ||
            objectCount_ > (tableEnd - tableOffset_) / offsetSize_) {
            return "binary property list offset table is out of range";
        }
        return std::nullopt;
    }

    uint64_t objectCount() const { return objectCount_; }
    uint64_t topObject() const { return topObject_; }

    // The shape of object `index`, or a problem when it does not lie within the object area.
    std::optional<std::string> shape(uint64_t index, ObjectShape &out) const {
        const uint64_t offset =
            readBigEndian(data_.data() + tableOffset_ + index * offsetSize_, offsetSize_);
        if (offset < headerSize || offset >= tableOffset_) {
            return "binary property list object offset is out of range";
        }
        const uint64_t end = tableOffset_;
        uint64_t pos = offset;
        const uint8_t marker = data_[pos++];
        const uint8_t type = marker >> 4;
        const uint8_t info = marker & 0x0F;
        uint64_t length = 0; // in bytes after the marker and length
        auto needs = [&](uint64_t bytes) -> std::optional<std::string> {
            if (bytes > end - pos) {
                return "binary property list object overruns the object area";
            }
            return std::nullopt;
        };
        auto count = [&](uint64_t &value) -> std::optional<std::string> {
            if (info != 0x0F) {
                value = info;
                return std::nullopt;
            }
            if (auto problem = needs(1)) {
                return problem;
            }
            const uint8_t lengthMarker = data_[pos++];
            if ((lengthMarker >> 4) != 0x1 || (lengthMarker & 0x0F) > 3) {
                return "binary property list has an invalid length";
            }
            const uint64_t size = uint64_t{1} << (lengthMarker & 0x0F);
            if (auto problem = needs(size)) {
                return problem;
            }
            value = readBigEndian(data_.data() + pos, size);
            pos += size;
            return std::nullopt;
        };
        uint64_t elements = 0;
        switch (type) {
        case 0x0:
            if (info != 0x0 && info != 0x8 && info != 0x9) {
                return "binary property list has an unknown simple value";
            }
            break;
        case 0x1:
            if (info > 4) {
                return "binary property list has an invalid integer";
            }
            length = uint64_t{1} << info;
            break;
        case 0x2:
            if (info != 2 && info != 3) {
                return "binary property list has an invalid real";
            }
            length = uint64_t{1} << info;
            break;
        case 0x3:
            if (info != 3) {
                return "binary property list has an invalid date";
            }
            length = 8;
            break;
        case 0x4:
        case 0x5:
            if (auto problem = count(elements)) {
                return problem;
            }
            length = elements;
            out.isString = type == 0x5;
            break;
        case 0x6:
            if (auto problem = count(elements)) {
                return problem;
            }
            if (elements > (end - pos) / 2) {
                return "binary property list object overruns the object area";
            }
            length = elements * 2;
            out.isString = true;
            for (uint64_t unit = 0; unit < elements; ++unit) {
                if (data_[pos + 2 * unit] == 0 && data_[pos + 2 * unit + 1] == 0) {
                    out.hasNulCharacter = true;
                    break;
                }
            }
            break;
        case 0x8:
            if (info > 7) {
                return "binary property list has an invalid reference";
            }
            length = uint64_t{info} + 1;
            break;
        case 0xA:
        case 0xC:
        case 0xD:
            if (auto problem = count(elements)) {
                return problem;
            }
            out.isDictionary = type == 0xD;
            out.isContainer = true;
            out.referenceCount = out.isDictionary ? elements * 2 : elements;
            if (elements > (end - pos) / referenceSize_ / (out.isDictionary ? 2 : 1)) {
                return "binary property list object overruns the object area";
            }
            out.referencesAt = pos;
            length = out.referenceCount * referenceSize_;
            break;
        default:
            return "binary property list has an unknown object type";
        }
        return needs(length);
    }

    uint64_t reference(const ObjectShape &shape, uint64_t i) const {
        return readBigEndian(data_.data() + shape.referencesAt + i * referenceSize_,
                             referenceSize_);
    }

private:
    std::span<const uint8_t> data_;
    uint8_t offsetSize_ = 0;
    uint8_t referenceSize_ = 0;
    uint64_t objectCount_ = 0;
    uint64_t topObject_ = 0;
    uint64_t tableOffset_ = 0;
};

// What the walk knows of each object it reached: 0 unseen, 1 on the walk's path, 2 finished;
// finished objects know their nesting depth and expanded size, so a shared object is looked
// at once however often it is referenced.
struct Info {
    uint8_t state = 0;
    int depth = 0;
    uint64_t expanded = 0;
};

// The walk's record of the objects it reached. A list of a few thousand objects (every blob
// of a library) is recorded in a table by index; a list that claims more, which only crafted
// data does, in a map of the reached ones alone (at most as many as expanded values).
class ObjectStates {
public:
    // `table` is scratch space of the caller's, reused from check to check.
    ObjectStates(uint64_t objectCount, std::vector<Info> &table) : table_(table) {
        table_.clear();
        if (objectCount <= tableLimit) {
            table_.resize(static_cast<size_t>(objectCount));
        }
    }
    Info &operator[](uint64_t index) {
        if (table_.empty()) {
            return map_[index];
        }
        Info &info = table_[static_cast<size_t>(index)];
        if (info.state == 0) {
            ++reached_; // about to be entered
        }
        return info;
    }
    Info find(uint64_t index) const {
        if (table_.empty()) {
            const auto found = map_.find(index);
            return found == map_.end() ? Info{} : found->second;
        }
        return table_[static_cast<size_t>(index)];
    }
    size_t reached() const { return table_.empty() ? map_.size() : reached_; }

private:
    static constexpr uint64_t tableLimit = uint64_t{1} << 16;
    std::vector<Info> &table_;
    std::unordered_map<uint64_t, Info> map_;
    size_t reached_ = 0;
};

} // namespace

std::optional<std::string> PropertyListCheck::binaryProblem(std::span<const uint8_t> data) {
    BinaryList list(data);
    if (auto problem = list.readTrailer()) {
        return problem;
    }
    // Iterative depth-first walk from the top object. Every blob of a library passes here: the
    // walk's tables are kept per thread from one check to the next instead of allocated anew.
    struct Frame {
        uint64_t index;
        ObjectShape shape;
        uint64_t next = 0;
        int depth = 0; // deepest element so far
        uint64_t expanded = 1;
    };
    thread_local std::vector<Info> table;
    thread_local std::vector<Frame> stack;
    ObjectStates info(list.objectCount(), table);
    stack.clear();
    // A finished object adds its depth and size to the container it is in.
    auto finish = [&](uint64_t index, const ObjectShape &shape, int depth,
                      uint64_t expanded) -> std::optional<std::string> {
        Info &done = info[index];
        done.state = 2;
        // A container is one level deeper than its deepest element; scalars add none.
        done.depth = shape.isContainer ? depth + 1 : 0;
        done.expanded = expanded;
        if (done.depth > maxDepth) {
            return "binary property list is nested too deeply";
        }
        if (!stack.empty()) {
            Frame &parent = stack.back();
            parent.depth = std::max(parent.depth, done.depth);
            parent.expanded += done.expanded;
            if (parent.expanded > maxExpandedValues) {
                return "binary property list expands into too many values";
            }
        }
        return std::nullopt;
    };
    // An object without references (most of them) is finished at once; the others are walked.
    auto enter = [&](uint64_t index, const ObjectShape *known) -> std::optional<std::string> {
        Frame frame{index, {}};
        if (known) {
            frame.shape = *known;
        } else if (auto problem = list.shape(index, frame.shape)) {
            return problem;
        }
        info[index].state = 1;
        // Every distinct object counts at least once in the top object's expansion.
        if (info.reached() > maxExpandedValues) {
            return "binary property list expands into too many values";
        }
        if (frame.shape.referenceCount == 0) {
            return finish(index, frame.shape, 0, 1);
        }
        stack.push_back(frame);
        return std::nullopt;
    };
    if (auto problem = enter(list.topObject(), nullptr)) {
        return problem;
    }
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next == frame.shape.referenceCount) {
            const Frame done = frame;
            stack.pop_back();
            if (auto problem = finish(done.index, done.shape, done.depth, done.expanded)) {
                return problem;
            }
            continue;
        }
        const uint64_t child = list.reference(frame.shape, frame.next);
        const bool isKey = frame.shape.isDictionary && frame.next < frame.shape.referenceCount / 2;
        ++frame.next;
        if (child >= list.objectCount()) {
            return "binary property list reference is out of range";
        }
        ObjectShape keyShape;
        if (isKey) {
            if (auto problem = list.shape(child, keyShape)) {
                return problem;
            }
            if (!keyShape.isString || keyShape.hasNulCharacter) {
                return "binary property list dictionary key is not a usable string";
            }
        }
        const Info seen = info.find(child);
        if (seen.state == 1) {
            return "binary property list has a reference cycle";
        }
        if (seen.state == 2) {
            frame.depth = std::max(frame.depth, seen.depth);
            frame.expanded += seen.expanded;
            if (frame.expanded > maxExpandedValues) {
                return "binary property list expands into too many values";
            }
            continue;
        }
        if (static_cast<int>(stack.size()) >= maxDepth) {
            return "binary property list is nested too deeply";
        }
        if (auto problem = enter(child, isKey ? &keyShape : nullptr)) {
            return problem;
        }
    }
    return std::nullopt;
}

std::optional<std::string> PropertyListCheck::xmlProblem(std::span<const uint8_t> data) {
    const std::string_view text(reinterpret_cast<const char *>(data.data()), data.size());
    auto startsWith = [&](size_t at, std::string_view prefix) {
        return text.substr(at, prefix.size()) == prefix;
    };
    auto isNameEnd = [&](size_t at) {
        if (at >= text.size()) {
            return true;
        }
        const char c = text[at];
        return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
    };
    int depth = 0;
    size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        // Sections whose text is not markup end at their own terminator.
        std::string_view terminator;
        if (startsWith(pos, "<!--")) {
            terminator = "-->";
        } else if (startsWith(pos, "<![CDATA[")) {
            terminator = "]]>";
        } else if (startsWith(pos, "<?")) {
            terminator = "?>";
        } else if (startsWith(pos, "<!")) {
            terminator = ">";
        }
        if (!terminator.empty()) {
            const size_t end = text.find(terminator, pos + 2);
            if (end == std::string_view::npos) {
                return "XML property list has an unterminated section";
            }
            if (terminator == ">" && text.substr(pos, end - pos).find('[') != text.npos) {
                return "XML property list has a document type with an internal subset";
            }
            pos = end + terminator.size();
            continue;
        }
        const size_t close = text.find('>', pos + 1);
        if (close == std::string_view::npos) {
            return "XML property list has an unterminated tag";
        }
        const bool selfClosing = text[close - 1] == '/';
        if ((startsWith(pos, "<array") && isNameEnd(pos + 6)) ||
            (startsWith(pos, "<dict") && isNameEnd(pos + 5))) {
            if (!selfClosing && ++depth > maxDepth) {
                return "XML property list is nested too deeply";
            }
        } else if ((startsWith(pos, "</array") && isNameEnd(pos + 7)) ||
                   (startsWith(pos, "</dict") && isNameEnd(pos + 6))) {
            depth = std::max(depth - 1, 0);
        }
        pos = close + 1;
    }
    return std::nullopt;
}

} // namespace tandrel
