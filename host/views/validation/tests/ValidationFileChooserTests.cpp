#include "host/views/validation/ValidationFileChooser.h"

#include "core/tests/LibraryFixture.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

QString qPath(const fs::path &path) {
    return QString::fromStdString(path.string());
}

// What a double click on an item of the dialog's list does.
void open(QFileDialog &dialog, const fs::path &item) {
    auto *model = dialog.findChild<QFileSystemModel *>();
    auto *list = dialog.findChild<QAbstractItemView *>(QStringLiteral("listView"));
    ASSERT_TRUE(model && list);
    emit list->activated(model->index(qPath(item)));
}

class ValidationFileChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(bundle / "Info");
        testing::writeFile(bundle / "Info.fcpxml", "<fcpxml/>");
        testing::writeFile(file, "<fcpxml/>");
        fs::create_directories(folder.path() / "Exports" / "Older");
    }

    testing::ScratchFolder folder;
    const fs::path bundle = folder.path() / "Exports" / "Main Edit.FCPXMLD";
    const fs::path file = folder.path() / "Exports" / "Main Edit.fcpxml";
};

TEST_F(ValidationFileChooserTest, IsQtsOwnDialogForOneFileTitledWithWhatToChoose) {
    ValidationFileChooser chooser;
    EXPECT_TRUE(chooser.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(chooser.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(chooser.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(chooser.nameFilters(), QStringList{"FCPXML (*.fcpxml *.fcpxmld *.xml)"});
    EXPECT_EQ(chooser.windowTitle(), "Select the FCPXML you exported for the selected timeline");
    EXPECT_EQ(chooser.chosen(), std::nullopt);
}

TEST_F(ValidationFileChooserTest, ChoosesAFileOrABundleAsOneItem) {
    const struct {
        const char *name;
        std::function<void(ValidationFileChooser &)> act;
        std::optional<fs::path> chosen;
    } cases[] = {
        {"a file, confirmed",
         [&](ValidationFileChooser &c) {
             c.selectFile(qPath(file));
             c.accept();
         },
         file},
        {"a bundle, confirmed",
         [&](ValidationFileChooser &c) {
             c.selectFile(qPath(bundle));
             c.accept();
         },
         bundle},
        {"another folder, opened: browsed into",
         [&](ValidationFileChooser &c) { open(c, folder.path() / "Exports" / "Older"); },
         std::nullopt},
        {"another folder, confirmed: browsed into",
         [&](ValidationFileChooser &c) {
             c.selectFile(qPath(folder.path() / "Exports" / "Older"));
             c.accept();
         },
         std::nullopt},
        {"a bundle, opened", [&](ValidationFileChooser &c) { open(c, bundle); }, bundle},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ValidationFileChooser chooser;
        chooser.setDirectory(qPath(folder.path() / "Exports"));
        c.act(chooser);
        EXPECT_EQ(chooser.chosen(), c.chosen);
        EXPECT_EQ(chooser.result() == QDialog::Accepted, c.chosen.has_value());
    }

    // The next chooser does not start inside the bundle opened last.
    ValidationFileChooser next;
    EXPECT_FALSE(ValidationFileChooser::isBundle(next.directory().absolutePath()));
}

} // namespace
} // namespace tandrel
