// Detection of the editor's open libraries from the main window: which libraries are new,
// the choice among several, and the repair of a refused Automation permission.
#include "host/views/main/tests/HostViewsFixture.h"

#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneTooltip.h"
#include "host/views/common/TextButton.h"
#include "host/views/main/DetectFromFCPButton.h"
#include "host/views/main/EmptyStateView.h"
#include "host/views/main/LibraryDetection.h"
#include "host/views/main/PluginVersionWarningBanner.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using Kind = LibraryDetection::Step::Kind;

// The editor, running, answering with the libraries it is given.
class FakeEditor final : public platform::EditorAutomation {
public:
    std::vector<std::string> runningBundleIdentifiers() const override { return running; }
    std::int32_t determinePermission(const std::string &) override { return permission; }
    std::optional<ScriptResult> runScript(const std::string &) override {
        ScriptValue value{.isList = true};
        for (const fs::path &library : libraries) {
            value.items.emplace_back(library);
        }
        return value;
    }

    std::vector<std::string> running{"com.apple.FinalCut"};
    std::int32_t permission = permitted;
    std::vector<fs::path> libraries;
};

TEST(DetectFromFCP, NewLibrariesInTheEditorsOrderAndTheirLabels) {
    const std::vector<WatchedLibrary> watched{WatchedLibrary::forURL("/m/Watched.fcpbundle")};
    struct Case {
        const char *what;
        std::vector<fs::path> found;
        LibraryDetection::Step step;
    };
    const Case cases[] = {
        {"nothing open", {}, {Kind::nothing, {}}},
        {"only what is watched", {"/m/Watched.fcpbundle"}, {Kind::nothing, {}}},
        {"a trailing separator names the same folder",
         {"/m/Watched.fcpbundle/"},
         {Kind::nothing, {}}},
        {"one of two watched: the other is added",
         {"/m/Watched.fcpbundle", "/m/New.fcpbundle"},
         {Kind::addOne, {"/m/New.fcpbundle"}}},
        {"three, in the editor's order",
         {"/m/C.fcpbundle", "/m/A.fcpbundle", "/m/B.fcpbundle"},
         {Kind::choose, {"/m/C.fcpbundle", "/m/A.fcpbundle", "/m/B.fcpbundle"}}},
        {"one listed twice counts twice",
         {"/m/Twice.fcpbundle", "/m/Twice.fcpbundle"},
         {Kind::choose, {"/m/Twice.fcpbundle", "/m/Twice.fcpbundle"}}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(LibraryDetection::next(c.found, watched), c.step) << c.what;
    }
    EXPECT_EQ(LibraryDetection::choiceLabel("/m/Show.fcpbundle"), "Show");
    EXPECT_EQ(LibraryDetection::choiceLabel("/m/Show.v2.fcpbundle/"), "Show.v2");
    EXPECT_EQ(LibraryDetection::resetCommand(std::nullopt),
              "tccutil reset AppleEvents com.ostrevale.tandrel.host");
    EXPECT_EQ(LibraryDetection::resetCommand(""),
              "tccutil reset AppleEvents com.ostrevale.tandrel.host");
    EXPECT_EQ(LibraryDetection::resetCommand("org.example.other"),
              "tccutil reset AppleEvents org.example.other");
}

class DetectFromFCPWidget : public testing::HostViewsTest {
protected:
    void SetUp() override {
        HostViewsTest::SetUp();
        services.editorAutomation = editor;
    }

    std::vector<std::string> watchedNames() {
        std::vector<std::string> names;
        for (const WatchedLibrary &library : state().watchedLibraries()) {
            names.push_back(library.url.filename().string());
        }
        return names;
    }

    std::vector<std::string> texts(const LibraryChoiceDialog &dialog) {
        std::vector<std::string> texts;
        for (const QAbstractButton *button : dialog.buttons()) {
            texts.push_back(button->text().toStdString());
        }
        return texts;
    }

    std::shared_ptr<FakeEditor> editor = std::make_shared<FakeEditor>();
};

TEST_F(DetectFromFCPWidget, AddsOneNewLibraryAtOnceAndOffersAChoiceAmongSeveral) {
    state().start();
    DetectFromFCPButton button(state(), false, opener);
    button.show();

    // Nothing open: nothing happens, nothing is said.
    button.button()->click();
    EXPECT_TRUE(state().watchedLibraries().empty());
    EXPECT_EQ(button.choiceDialog(), nullptr);
    EXPECT_FALSE(button.showsError());

    // One open: added at once, no dialog.
    editor->libraries = {solo_};
    button.button()->click();
    EXPECT_EQ(watchedNames(), std::vector<std::string>{"Solo.fcpbundle"});
    EXPECT_EQ(button.choiceDialog(), nullptr);

    // Two open, one watched: the other is added, no dialog.
    editor->libraries = {solo_, pair_};
    button.button()->click();
    EXPECT_EQ(watchedNames(), (std::vector<std::string>{"Solo.fcpbundle", "Pair.fcpbundle"}));
    EXPECT_EQ(button.choiceDialog(), nullptr);

    // Three new ones: a button each in the editor's order, then "Add All" and "Cancel".
    const fs::path c = data.path() / "C.fcpbundle";
    const fs::path a = data.path() / "A.fcpbundle";
    const fs::path b = data.path() / "B.fcpbundle";
    editor->libraries = {solo_, c, a, b};
    button.button()->click();
    ASSERT_NE(button.choiceDialog(), nullptr);
    EXPECT_TRUE(button.choiceDialog()->isVisible());
    EXPECT_EQ(texts(*button.choiceDialog()),
              (std::vector<std::string>{"C", "A", "B", "Add All", "Cancel"}));
    button.choiceDialog()->buttons()[3]->click();
    EXPECT_EQ(watchedNames(),
              (std::vector<std::string>{"Solo.fcpbundle", "Pair.fcpbundle", "C.fcpbundle",
                                        "A.fcpbundle", "B.fcpbundle"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(button.choiceDialog(), nullptr);
    EXPECT_EQ(button.multipleFound(), (std::vector<fs::path>{c, a, b}));
}

TEST(DetectFromFCPDialog, EveryLibraryNameShowsWhole) {
    const std::string longName = "Interviews and B-Roll for the Director's Cut";
    const std::string longer =
        "Interviews, B-Roll, Pick-ups and Archive Material for the Director's Extended Cut";
    const auto widthFor = [](const std::vector<fs::path> &libraries) {
        return LibraryChoiceDialog(libraries, [](const fs::path &) {}).width();
    };
    EXPECT_EQ(widthFor({"/m/Short.fcpbundle"}), 320);
    for (const std::string &name : {longName, longer}) {
        LibraryChoiceDialog dialog({"/m/Short.fcpbundle", "/m/" + name + ".fcpbundle"},
                                   [](const fs::path &) {});
        EXPECT_LE(dialog.width(), 480);
        auto *button = static_cast<corvane::CorvaneButton *>(dialog.buttons()[1]);
        EXPECT_EQ(button->text().toStdString(), name);
        // Its lines fit the button, which is as tall as they need.
        EXPECT_LE(button->sizeHint().width(), button->width()) << name;
        const QFontMetrics metrics(button->font());
        const int lines = metrics.horizontalAdvance(button->text()) <= button->wrapWidth() ? 1 : 2;
        EXPECT_GE(button->sizeHint().height(),
                  lines * metrics.height() + 2 * corvane::CorvaneButtonStyle::verticalPadding)
            << name;
    }
    // A name that fits a wider dialog widens it rather than wrapping.
    EXPECT_GT(widthFor({"/m/" + longName + ".fcpbundle"}), 320);
}

TEST_F(DetectFromFCPWidget, ALibraryListedTwiceGetsTwoRowsAndIsAddedOnce) {
    state().start();
    DetectFromFCPButton button(state(), true, opener);
    const fs::path twice = data.path() / "Twice.fcpbundle";
    editor->libraries = {twice, twice};
    button.detect();
    ASSERT_NE(button.choiceDialog(), nullptr);
    EXPECT_EQ(texts(*button.choiceDialog()),
              (std::vector<std::string>{"Twice", "Twice", "Add All", "Cancel"}));
    button.choiceDialog()->buttons()[2]->click();
    EXPECT_EQ(watchedNames(), std::vector<std::string>{"Twice.fcpbundle"});

    // "Cancel" adds nothing; a single choice adds only that one.
    const fs::path other = data.path() / "Other.fcpbundle";
    const fs::path third = data.path() / "Third.fcpbundle";
    editor->libraries = {other, third};
    button.detect();
    button.choiceDialog()->buttons().back()->click();
    EXPECT_EQ(state().watchedLibraries().size(), 1u);
    button.detect();
    button.choiceDialog()->buttons()[1]->click();
    EXPECT_EQ(watchedNames(), (std::vector<std::string>{"Twice.fcpbundle", "Third.fcpbundle"}));
}

// One rule for the two buttons that open a system settings page, the detect form's and the
// update banner's: each is offered only where the desktop can open its page (Linux has none).
TEST_F(DetectFromFCPWidget, SettingsPageButtonsShowOnlyWhereTheDesktopOpensThem) {
    state().start();
    editor->permission = platform::EditorAutomation::notPermitted;
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens);
        opener.opensEverything = opens;
        DetectFromFCPButton full(state(), false, opener);
        PluginVersionWarningBanner banner(PluginUpdateState::needsAppManagementPermission(),
                                          {std::nullopt, &opener});
        full.show();
        banner.show();
        full.button()->click();
        ASSERT_TRUE(full.showsRepair());
        EXPECT_EQ(full.openAutomationSettingsButton()->isVisible(), opens);
        EXPECT_TRUE(full.copyResetCommandButton()->isVisible());
        EXPECT_EQ(banner.appManagementButton()->isVisible(), opens);
    }
    // The desktop's own opener has no such page to open.
    EXPECT_FALSE(UrlOpener::system().canOpen(
        QUrl(QString::fromUtf8(LibraryDetection::automationSettingsAddress))));
    EXPECT_FALSE(UrlOpener::system().canOpen(
        QUrl(QString::fromUtf8(PluginVersionWarningBannerModel::appManagementSettingsAddress))));
}

TEST_F(DetectFromFCPWidget, ARefusedPermissionOffersBothRepairsAndTheHintAfterCopying) {
    state().start();
    editor->permission = platform::EditorAutomation::notPermitted;
    DetectFromFCPButton full(state(), false, opener);
    DetectFromFCPButton compact(state(), true, opener);
    full.show();
    EXPECT_FALSE(full.showsError());

    full.button()->click();
    EXPECT_TRUE(full.showsError());
    EXPECT_TRUE(full.showsRepair());
    EXPECT_FALSE(full.showsCopiedHint());
    const std::string refused = *state().lastLibraryDetectionError();
    EXPECT_EQ(full.errorLabel()->text().toStdString(), refused);
    EXPECT_TRUE(refused.starts_with("No Automation permission for Final Cut Pro."));
    // The compact form tells the error on hover.
    auto *tooltip = compact.button()->findChild<corvane::CorvaneTooltipModifier *>();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(tooltip->text().toStdString(), refused);
    EXPECT_EQ(compact.button()->accessibleName(), "Detect from Final Cut Pro");

    full.openAutomationSettingsButton()->click();
    EXPECT_EQ(opener.opened,
              std::vector<QUrl>{QUrl(QStringLiteral(
                  "x-apple.systempreferences:com.apple.preference.security?Privacy_Automation"))});

    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    full.copyResetCommandButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "tccutil reset AppleEvents com.ostrevale.tandrel.host");
    EXPECT_TRUE(full.showsCopiedHint());
    EXPECT_EQ(full.copiedHint()->text().toStdString(), LibraryDetection::copiedHint);

    // The button, the error, the links and the hint: one column from the leading edge, 2 points
    // apart.
    full.resize(280, full.heightForWidth(280));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const auto in = [&](QWidget *part) {
        return QRect(part->mapTo(&full, QPoint()), part->size());
    };
    const QRect parts[] = {in(full.button()), in(full.errorLabel()),
                           in(full.openAutomationSettingsButton()), in(full.copiedHint())};
    for (size_t i = 0; i < std::size(parts); ++i) {
        EXPECT_EQ(parts[i].left(), 0) << i;
        if (i > 0) {
            EXPECT_EQ(parts[i].top() - parts[i - 1].bottom() - 1, 2) << i;
        }
    }

    // The editor stops running: another error, no repair; the hint comes back with the repair.
    editor->running.clear();
    full.button()->click();
    EXPECT_EQ(full.errorLabel()->text(), "Final Cut Pro isn't running.");
    EXPECT_FALSE(full.showsRepair());
    EXPECT_EQ(tooltip->text(), "Final Cut Pro isn't running.");
    editor->running = {"com.apple.FinalCut"};
    full.button()->click();
    EXPECT_TRUE(full.showsCopiedHint());

    // A detection that works clears the error everywhere.
    editor->permission = platform::EditorAutomation::permitted;
    full.button()->click();
    EXPECT_FALSE(full.showsError());
    EXPECT_EQ(tooltip->text(), "Detect from Final Cut Pro");
}

TEST_F(DetectFromFCPWidget, InTheEmptySidebarTheButtonIsCentredUntilAnErrorStandsUnderIt) {
    state().start();
    EmptyStateView view(state(), picker);
    view.resize(300, 700);
    view.show();
    auto *detect = view.findChild<DetectFromFCPButton *>();
    ASSERT_NE(detect, nullptr);
    const auto button = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return QRect(detect->button()->mapTo(&view, QPoint()), detect->button()->size());
    };
    EXPECT_NEAR(button().center().x(), view.rect().center().x(), 1);

    editor->permission = platform::EditorAutomation::notPermitted;
    detect->detect();
    ASSERT_TRUE(detect->showsError());
    EXPECT_EQ(button().left(), 16);
    EXPECT_EQ(detect->errorLabel()->mapTo(&view, QPoint()).x(), 16);
    EXPECT_EQ(detect->width(), view.width() - 2 * 16);

    // A detection that works takes the error away: centred again.
    editor->permission = platform::EditorAutomation::permitted;
    detect->detect();
    EXPECT_NEAR(button().center().x(), view.rect().center().x(), 1);
}

TEST_F(DetectFromFCPWidget, AnEmptySidebarOpenedUnderAStandingErrorGivesItTheWholeWidth) {
    state().start();
    // A short error, which would fit beside a centred button.
    editor->running.clear();
    EmptyStateView first(state(), picker);
    first.findChild<DetectFromFCPButton *>()->detect();
    ASSERT_TRUE(state().lastLibraryDetectionError());

    // A second main window's sidebar, made while the error stands.
    EmptyStateView second(state(), picker);
    second.resize(300, 700);
    second.show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto *detect = second.findChild<DetectFromFCPButton *>();
    ASSERT_TRUE(detect->showsError());
    EXPECT_EQ(detect->width(), second.width() - 2 * 16);
    EXPECT_EQ(detect->button()->mapTo(&second, QPoint()).x(), 16);
    EXPECT_EQ(detect->errorLabel()->mapTo(&second, QPoint()).x(), 16);
}

} // namespace
} // namespace tandrel
