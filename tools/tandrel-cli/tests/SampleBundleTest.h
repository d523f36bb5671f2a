#pragma once

#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tandrel::testing {

// Base of the command-line tests: the generated sample library, written once for each test
// suite into a scratch folder.
class SampleBundleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new ScratchFolder;
        bundle_ = new std::filesystem::path(
            sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder_->path()));
    }
    static void TearDownTestSuite() {
        delete bundle_;
        delete folder_;
    }

    inline static ScratchFolder *folder_ = nullptr;
    inline static std::filesystem::path *bundle_ = nullptr;
};

} // namespace tandrel::testing
