// make-sample-library DIR: writes DIR/Sample.fcpbundle, the sample library.
// make-sample-library --clips N DIR: writes DIR/Large.fcpbundle, whose timeline "Large" has N
// spine items with connected clips, markers and retimes mixed in.
// make-sample-library --blob-corpus DIR: writes the sample's blobs (binary and XML) and a few
// malformed archives into DIR, one file each, as a seed corpus for the blob fuzzer.
// make-sample-library --xml-corpus DIR: writes the sample's effect parameter documents and a
// few hostile ones into DIR, one file each, as a seed corpus for the effect XML fuzzer.
// make-sample-library --hostile DIR: writes the sample library with every name taken from the
// table of hostile texts (core/tests/HostileTexts.h) into DIR, and prints its folder with its
// controls shown.

#include "core/support/Numeric.h"
#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"
#include "tools/make-sample-library/EffectDocuments.h"
#include "tools/make-sample-library/HostileLibrary.h"
#include "tools/make-sample-library/KeyedArchiver.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tandrel;
using namespace tandrel::sample;

namespace {

int usage() {
    std::fprintf(stderr, "usage: make-sample-library DIR\n"
                         "       make-sample-library --clips N DIR\n"
                         "       make-sample-library --hostile DIR\n"
                         "       make-sample-library --blob-corpus DIR\n"
                         "       make-sample-library --xml-corpus DIR\n");
    return 2;
}

// Archives no archiver writes: reference cycles, broken references, CF$UID references.
std::vector<Bytes> malformedArchives() {
    const auto ref = [](uint64_t i) { return PlistValue::uid(i); };
    const auto cfRef = [](int64_t i) {
        return PlistValue::dictionary({{"CF$UID", PlistValue::integer(i)}});
    };
    const auto archived = [](PlistValue::Array keys, PlistValue::Array objects) {
        return PlistValue::dictionary({{"NS.keys", PlistValue::array(std::move(keys))},
                                       {"NS.objects", PlistValue::array(std::move(objects))}});
    };
    const PlistValue id = PlistValue::string("00000000-0000-4000-8000-000000000001");
    std::vector<Bytes> archives;
    archives.push_back(KeyedArchiver::wrap(
        {PlistValue::string("$null"), archived({ref(2)}, {ref(1)}), PlistValue::string("self")}));
    archives.push_back(KeyedArchiver::wrap(
        {PlistValue::string("$null"), archived({ref(2), ref(99)}, {ref(3), ref(4)}),
         PlistValue::string("key"), archived({ref(2)}, {ref(3)}), id}));
    archives.push_back(KeyedArchiver::wrap(
        {PlistValue::string("$null"), archived({cfRef(2)}, {cfRef(3)}), PlistValue::string("k"),
         PlistValue::dictionary({{"NS.objects", PlistValue::array({cfRef(4), cfRef(3)})}}), id},
        PlistFormat::xml));
    archives.push_back(KeyedArchiver::wrap({PlistValue::string("$null")}));
    return archives;
}

void writeFiles(const fs::path &corpus, const char *prefix, const std::vector<Bytes> &files) {
    fs::create_directories(corpus);
    int n = 0;
    for (const Bytes &file : files) {
        char name[32];
        std::snprintf(name, sizeof name, "%s-%04d", prefix, n++);
        std::ofstream out(corpus / name, std::ios::binary);
        out.write(reinterpret_cast<const char *>(file.data()),
                  static_cast<std::streamsize>(file.size()));
    }
    std::printf("%d files written to %s\n", n, corpus.c_str());
}

// Writes the sample library in both property-list formats into a scratch folder, keeping
// what the writer reports.
void writeSample(std::vector<Bytes> *blobs, std::vector<std::string> *documents) {
    const fs::path scratch =
        fs::temp_directory_path() / ("make-sample-library-" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    for (PlistFormat format : {PlistFormat::binary, PlistFormat::xml}) {
        const fs::path folder = scratch / (format == PlistFormat::binary ? "binary" : "xml");
        fs::create_directories(folder);
        SampleLibraryWriter::write(standardSampleLibrary(), folder, {format, blobs, documents});
    }
    fs::remove_all(scratch);
}

void writeBlobCorpus(const fs::path &corpus) {
    std::vector<Bytes> blobs;
    writeSample(&blobs, nullptr);
    for (auto &archive : malformedArchives()) {
        blobs.push_back(std::move(archive));
    }
    writeFiles(corpus, "blob", blobs);
}

void writeXMLCorpus(const fs::path &corpus) {
    std::vector<std::string> documents;
    writeSample(nullptr, &documents);
    for (auto &document : EffectDocuments::hostile()) {
        documents.push_back(std::move(document));
    }
    std::vector<Bytes> files;
    for (const auto &document : documents) {
        Bytes bytes(document.begin(), document.end());
        // The two property-list formats hold the same documents.
        if (std::find(files.begin(), files.end(), bytes) == files.end()) {
            files.push_back(std::move(bytes));
        }
    }
    writeFiles(corpus, "xml", files);
}

} // namespace

int main(int argc, char **argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "--blob-corpus") {
            writeBlobCorpus(argv[2]);
            return 0;
        }
        if (argc == 3 && std::string(argv[1]) == "--xml-corpus") {
            writeXMLCorpus(argv[2]);
            return 0;
        }
        if (argc == 4 && std::string(argv[1]) == "--clips") {
            const auto clips = parseDecimalInt64(argv[2]);
            if (!clips || *clips < 1 || *clips > 1000000) {
                return usage();
            }
            fs::create_directories(argv[3]);
            const auto bundle =
                SampleLibraryWriter::write(largeSampleLibrary(static_cast<int>(*clips)), argv[3]);
            std::printf("%s\n", bundle.c_str());
            return 0;
        }
        if (argc == 3 && std::string(argv[1]) == "--hostile") {
            std::vector<std::string> texts;
            for (const auto &hostile : testing::hostileTexts()) {
                texts.push_back(hostile.text);
            }
            fs::create_directories(argv[2]);
            const auto bundle = SampleLibraryWriter::write(hostileSampleLibrary(texts), argv[2]);
            std::printf("%s\n", withControlsShown(bundle.string()).c_str());
            return 0;
        }
        if (argc != 2 || std::string(argv[1]).starts_with("-")) {
            return usage();
        }
        fs::create_directories(argv[1]);
        const auto bundle = SampleLibraryWriter::write(standardSampleLibrary(), argv[1]);
        std::printf("%s\n", bundle.c_str());
        return 0;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "make-sample-library: %s\n", withControlsShown(error.what()).c_str());
        return 1;
    }
}
