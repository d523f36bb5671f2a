#pragma once

// Libraries and stand-ins for the tests of the query layer and the state object: generated
// libraries loaded as the host loads them, records made by hand around them, and a stand-in
// for the FCPXML reader and validator.

#include "core/database/LibraryScanner.h"
#include "core/support/AsciiText.h"
#include "host/query/ValidationServices.h"
#include "host/query/WatchedLibrary.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <atomic>
#include <compare>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tandrel::testing {

// Texts by their lower-case ASCII forms: the structure of the timeline order without a
// locale.
inline std::weak_ordering caseInsensitiveOrder(const std::string &a, const std::string &b) {
    const std::strong_ordering order = asciiLowercased(a) <=> asciiLowercased(b);
    return order == 0  ? std::weak_ordering::equivalent
           : order < 0 ? std::weak_ordering::less
                       : std::weak_ordering::greater;
}

// A library named `name` with one event, "Day 1", holding a timeline per (name, clips) pair:
// 25 fps from 01:00:00:00, 1920 × 1080, `clips` spine items of the generator's large library.
inline sample::LibraryDescription
describedLibrary(std::string name, const std::vector<std::pair<std::string, int>> &timelines) {
    sample::LibraryDescription library = sample::largeSampleLibrary(1);
    library.name = std::move(name);
    sample::Event &event = library.events.at(0);
    event.timelines.clear();
    for (const auto &[timelineName, clips] : timelines) {
        sample::Timeline timeline = sample::largeSampleLibrary(clips).events.at(0).timelines.at(0);
        timeline.name = timelineName;
        event.timelines.push_back(std::move(timeline));
    }
    return library;
}

// The library written into `parent` and loaded from its scan.
inline WatchedLibrary loadedLibrary(const sample::LibraryDescription &description,
                                    const std::filesystem::path &parent) {
    const std::filesystem::path bundle = sample::SampleLibraryWriter::write(description, parent);
    return WatchedLibrary::forURL(bundle).loadedWith(LibraryScanner::scan(bundle));
}

// The FCPXML reader and validator played by hand: a document of the named sequences (for any
// file that exists), found by exact name; the only sequence is the obvious one. The report
// names the sequence and counts the entries it was given.
class FakeValidation final : public ValidationServices {
public:
    // The reader's own failure.
    struct ReaderError : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    explicit FakeValidation(std::vector<std::string> sequenceNames)
        : sequenceNames_(std::move(sequenceNames)) {}

    FCPXMLParser::Document parse(const std::filesystem::path &contentsOf) const override {
        if (!std::filesystem::exists(contentsOf)) {
            throw ReaderError("FCPXML file not found: " + contentsOf.string());
        }
        ++parses;
        FCPXMLParser::Document document;
        for (const std::string &name : sequenceNames_) {
            FCPXMLParser::Sequence sequence;
            sequence.name = name;
            document.sequences.push_back(std::move(sequence));
        }
        return document;
    }
    const FCPXMLParser::Sequence *sequence(const FCPXMLParser::Document &document,
                                           const std::string &named) const override {
        for (const FCPXMLParser::Sequence &sequence : document.sequences) {
            if (sequence.name == named) {
                return &sequence;
            }
        }
        return nullptr;
    }
    const FCPXMLParser::Sequence *
    primaryTimeline(const FCPXMLParser::Document &document) const override {
        return document.sequences.size() == 1 ? &document.sequences.front() : nullptr;
    }
    TimelineValidator::ValidationReport validate(const FCPXMLParser::Sequence &sequence,
                                                 const std::vector<EditEntry> &resolverEntries,
                                                 int64_t toleranceFrames,
                                                 int64_t pairingWindowFrames) const override {
        TimelineValidator::ValidationReport report;
        report.sequenceName = sequence.name;
        report.resolverEntryCount = static_cast<int64_t>(resolverEntries.size());
        tolerance = toleranceFrames;
        pairingWindow = pairingWindowFrames;
        return report;
    }

    mutable std::atomic<int> parses{0};
    // What the last comparison was given.
    mutable std::atomic<int64_t> tolerance{-1};
    mutable std::atomic<int64_t> pairingWindow{-1};

private:
    std::vector<std::string> sequenceNames_;
};

} // namespace tandrel::testing
