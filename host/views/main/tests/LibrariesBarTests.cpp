// The libraries bar: each row's status, and its remove button, shown under the pointer, that
// removes the row's own library.
#include "host/views/main/tests/HostViewsFixture.h"

#include "host/views/common/ElidedLabel.h"
#include "host/views/main/LibrariesBar.h"
#include "host/views/main/LibrariesBarContent.h"

#include <QAbstractButton>
#include <QEnterEvent>

#include <stdexcept>

namespace tandrel {
namespace {

using Status = LibrariesBarContent::Status;
using LibrariesBarWidget = testing::HostViewsTest;

TEST(LibrariesBar, StatusNameAndPlaceOfARow) {
    WatchedLibrary library = WatchedLibrary::forURL("/Volumes/Media/Show.fcpbundle");
    struct Case {
        const char *what;
        bool loaded;
        std::optional<std::string> error;
        std::vector<std::string> unreadable;
        Status status;
        std::string failure;
    };
    const Case cases[] = {
        {"being read", false, std::nullopt, {}, Status::reading, ""},
        {"failed",
         false,
         "The library database is missing.",
         {},
         Status::failed,
         "The library database is missing."},
        {"read", true, std::nullopt, {}, Status::loaded, ""},
        {"read, an older error still noted: read wins", true, "Locked.", {}, Status::loaded, ""},
        {"read, with event databases that cannot be read",
         true,
         std::nullopt,
         {"Day 1: file is not a database", "Day 2: permission denied"},
         Status::failed,
         "Cannot be read:\nDay 1: file is not a database\nDay 2: permission denied"},
    };
    for (const Case &c : cases) {
        library.isLoaded = c.loaded;
        library.errorMessage = c.error;
        library.unreadableDatabases = c.unreadable;
        EXPECT_EQ(LibrariesBarContent::status(library), c.status) << c.what;
        EXPECT_EQ(LibrariesBarContent::failure(library), c.failure) << c.what;
    }
    EXPECT_EQ(LibrariesBarContent::removeLabel(library), "Remove Show");

    const std::vector<WatchedLibrary> libraries{WatchedLibrary::forURL("/a/One.fcpbundle"),
                                                WatchedLibrary::forURL("/a/Two.fcpbundle")};
    EXPECT_EQ(LibrariesBarContent::indexOf(libraries, libraries[1].id), 1u);
    EXPECT_EQ(LibrariesBarContent::indexOf(libraries, library.id), std::nullopt);
}

void hover(QWidget *widget, bool inside) {
    if (inside) {
        const QPointF at(1, 1);
        QEnterEvent enter(at, at, widget->mapToGlobal(at));
        QCoreApplication::sendEvent(widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
    }
}

std::vector<std::string> names(const LibrariesBar &bar) {
    std::vector<std::string> names;
    for (const LibraryRow *row : bar.rows()) {
        names.push_back(row->nameLabel()->text().toStdString());
    }
    return names;
}

TEST_F(LibrariesBarWidget, TheRemoveButtonShowsOnlyUnderThePointerAndRemovesThatLibrary) {
    state().start();
    LibrariesBar bar(state());
    bar.resize(300, 200);
    bar.show();
    state().addLibrary(solo_);
    state().addLibrary(pair_);
    ASSERT_EQ(bar.rows().size(), 2u);
    LibraryRow *pair = bar.rows()[1];
    EXPECT_EQ(pair->status(), Status::reading);
    platform::MainQueue::runPending();
    // The rows stay as the loads finish, and turn to checks.
    ASSERT_EQ(bar.rows().size(), 2u);
    EXPECT_EQ(bar.rows()[1], pair);
    EXPECT_EQ(pair->status(), Status::loaded);

    EXPECT_FALSE(pair->removeButton()->isVisible());
    hover(pair, true);
    EXPECT_TRUE(pair->removeButton()->isVisible());
    EXPECT_FALSE(bar.rows()[0]->removeButton()->isVisible());
    EXPECT_EQ(pair->removeButton()->accessibleName(), "Remove Pair");
    hover(pair, false);
    EXPECT_FALSE(pair->removeButton()->isVisible());

    // The first row's button removes the first library; the other moves up. Its bookmark and
    // the choice of its timeline go in one write of the settings.
    state().setActiveTimeline(timelineID("Reel"));
    const int saves = defaults->saves;
    LibraryRow *solo = bar.rows()[0];
    hover(solo, true);
    solo->removeButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(state().watchedLibraries().size(), 1u);
    EXPECT_EQ(state().watchedLibraries()[0].name, "Pair");
    EXPECT_EQ(names(bar), std::vector<std::string>{"Pair"});
    EXPECT_EQ(defaults->saves - saves, 1);
    EXPECT_EQ(defaults->writes[AppState::watchedLibraryBookmarksKey], 3);
    EXPECT_TRUE(defaults->dictionary(AppState::activeTimelineKey)->empty());
}

TEST_F(LibrariesBarWidget, AFailedReadShowsTheTriangleAndALongNameKeepsTheIconInView) {
    services.scanLibrary = [](const std::filesystem::path &) -> FCPLibrary {
        throw std::runtime_error("The library database is missing.");
    };
    state().start();
    LibrariesBar bar(state());
    bar.resize(260, 100);
    bar.show();
    const std::filesystem::path missing =
        data.path() / (std::string(120, 'N') + " Missing.fcpbundle");
    state().addLibrary(missing);
    platform::MainQueue::runPending();
    ASSERT_EQ(bar.rows().size(), 1u);
    LibraryRow *row = bar.rows()[0];
    EXPECT_EQ(row->status(), Status::failed);
    // The new icon is laid out and shown as the event loop comes round.
    QCoreApplication::processEvents();
    // Shortened in the middle: its start and its end stay.
    EXPECT_TRUE(row->nameLabel()->isElided());
    EXPECT_TRUE(row->nameLabel()->shownText().startsWith(QStringLiteral("NNN")));
    EXPECT_TRUE(row->nameLabel()->shownText().endsWith(QStringLiteral("Missing")));
    EXPECT_LT(row->nameLabel()->geometry().right(), row->statusIcon()->geometry().left());
    EXPECT_LE(row->statusIcon()->geometry().right(), row->contentsRect().right());
}

} // namespace
} // namespace tandrel
