// Element selection and editing on the active preset, and the element pasteboard.

#include "host/state/tests/StateFixture.h"

#include "core/support/JsonText.h"
#include "platform/pasteboard/ClipboardPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cmath>

namespace tandrel {
namespace {

using Selection = std::set<Uuid>;

// Started with "Conform" active: seven elements, of which the first four are A, B, C, D.
class AppStateElements : public testing::StateTest {
protected:
    void SetUp() override {
        started();
        state().setActivePresetID(state().presets()[1].id);
        const auto &elements = activeElements();
        a = elements[0].id;
        b = elements[1].id;
        c = elements[2].id;
        d = elements[3].id;
        QObject::connect(&state(), &AppState::presetsChanged, [this] { ++presetChanges; });
    }
    const std::vector<BurnInElement> &activeElements() const {
        return state_->presets()[*state_->activePresetIndex()].elements;
    }
    std::vector<Uuid> activeIDs() const {
        std::vector<Uuid> ids;
        for (const BurnInElement &element : activeElements()) {
            ids.push_back(element.id);
        }
        return ids;
    }
    void select(Selection ids, std::optional<Uuid> primary) {
        state().setSelectedElementIDs(std::move(ids));
        state().setSelectedElementID(primary);
    }

    Uuid a, b, c, d;
    int presetChanges = 0;
};

TEST_F(AppStateElements, SelectingPlainlyOrExtendingFollowsTheClicks) {
    struct Step {
        const char *what;
        Uuid *id;
        bool extend;
        std::vector<Uuid *> selection;
        Uuid *primary;
    };
    const Step steps[] = {
        {"plain A with nothing selected", &a, false, {&a}, &a},
        {"plain A again deselects it", &a, false, {}, nullptr},
        {"extend with A", &a, true, {&a}, &a},
        {"extend with B", &b, true, {&a, &b}, &b},
        {"plain A while A and B are selected", &a, false, {&a}, &a},
        {"extend with B", &b, true, {&a, &b}, &b},
        {"extend with B again", &b, true, {&a}, &a},
        {"extend with A then", &a, true, {}, nullptr},
        {"extend with C", &c, true, {&c}, &c},
        {"extend with D", &d, true, {&c, &d}, &d},
        {"extend with C, not the primary", &c, true, {&d}, &d},
    };
    for (const Step &step : steps) {
        state().selectElement(*step.id, step.extend);
        Selection expected;
        for (Uuid *id : step.selection) {
            expected.insert(*id);
        }
        EXPECT_EQ(state().selectedElementIDs(), expected) << step.what;
        EXPECT_EQ(state().selectedElementID(),
                  step.primary ? std::optional(*step.primary) : std::nullopt)
            << step.what;
    }
    EXPECT_EQ(presetChanges, 0);
}

TEST_F(AppStateElements, RemovingAndDeletingTakeElementsOutOfThePresetAndTheSelection) {
    const std::vector<Uuid> ids = activeIDs();
    const Uuid gone = Uuid::random();
    struct Case {
        const char *what;
        Selection selection;
        std::optional<Uuid> primary;
        std::function<void()> act;
        std::vector<Uuid> removed;
        Selection selectionAfter;
        int presetChanges;
    };
    const Case cases[] = {
        {"the primary, two others selected",
         {a, b, c},
         c,
         [&] { state().removeElement(c); },
         {c},
         {a, b},
         1},
        {"one not selected", {a, b}, b, [&] { state().removeElement(d); }, {d}, {a, b}, 1},
        {"one not in the preset", {a}, a, [&] { state().removeElement(gone); }, {}, {a}, 0},
        {"the selection, with an id no longer in the preset",
         {b, gone},
         gone,
         [&] { state().deleteSelectedElements(); },
         {b},
         {},
         1},
        {"an empty selection",
         {},
         std::nullopt,
         [&] { state().deleteSelectedElements(); },
         {},
         {},
         0},
    };
    for (const Case &row : cases) {
        std::vector<DisplayConfig> reset = state().presets();
        reset[1] = BundledPresets::table()[1];
        state().setPresets(reset);
        select(row.selection, row.primary);
        presetChanges = 0;
        row.act();
        std::vector<Uuid> kept = ids;
        std::erase_if(kept, [&](const Uuid &id) {
            return std::find(row.removed.begin(), row.removed.end(), id) != row.removed.end();
        });
        EXPECT_EQ(activeIDs(), kept) << row.what;
        EXPECT_EQ(state().selectedElementIDs(), row.selectionAfter) << row.what;
        if (row.selectionAfter.empty()) {
            EXPECT_EQ(state().selectedElementID(), std::nullopt) << row.what;
        } else {
            // The primary is one of those still selected.
            ASSERT_TRUE(state().selectedElementID()) << row.what;
            EXPECT_TRUE(row.selectionAfter.contains(*state().selectedElementID())) << row.what;
        }
        EXPECT_EQ(presetChanges, row.presetChanges) << row.what;
    }
}

TEST_F(AppStateElements, PastingTwiceAddsTwoCopiesWithNewIdsAndSelectsTheLast) {
    BurnInElement copied = activeElements()[1];
    copied.posX = 0.61;
    copied.posY = 0.42;
    state().copyElementToPasteboard(copied);
    // The element's own JSON, id included, under its type alone.
    const Json onPasteboard = parseJsonText(*pasteboard->data(AppState::elementPasteboardType));
    EXPECT_EQ(onPasteboard["id"], copied.id.uuidString());
    EXPECT_EQ(pasteboard->data("text/plain"), std::nullopt);

    select({a, b}, a);
    ASSERT_TRUE(state().pasteElementFromPasteboard());
    ASSERT_TRUE(state().pasteElementFromPasteboard());
    EXPECT_EQ(presetChanges, 2);
    ASSERT_EQ(activeElements().size(), 9u);
    BurnInElement first = activeElements()[7];
    BurnInElement second = activeElements()[8];
    EXPECT_NE(first.id, second.id);
    EXPECT_NE(first.id, copied.id);
    EXPECT_EQ(state().selectedElementIDs(), Selection{second.id});
    EXPECT_EQ(state().selectedElementID(), second.id);
    first.id = second.id = copied.id;
    EXPECT_EQ(first, copied);
    EXPECT_EQ(second, copied);
}

TEST_F(AppStateElements, NothingIsPastedWithoutAnElementOnThePasteboardOrAnActivePreset) {
    const std::vector<DisplayConfig> presets = state().presets();
    const std::pair<const char *, std::function<void()>> cases[] = {
        {"empty", [&] { pasteboard->clearContents(); }},
        {"text only", [&] { pasteboard->setData("TC:", "text/plain"); }},
        {"not an element",
         [&] { pasteboard->setData(R"({"label":"TC:"})", AppState::elementPasteboardType); }},
        {"not JSON", [&] { pasteboard->setData("TC:", AppState::elementPasteboardType); }},
    };
    for (const auto &[what, put] : cases) {
        pasteboard->clearContents();
        put();
        EXPECT_FALSE(state().pasteElementFromPasteboard()) << what;
    }

    state().copyElementToPasteboard(activeElements()[0]);
    select({a}, a);
    state().setActivePresetID(Uuid::random());
    EXPECT_FALSE(state().pasteElementFromPasteboard());
    state().removeElement(a);
    state().deleteSelectedElements();
    EXPECT_EQ(state().presets(), presets);
    EXPECT_EQ(state().selectedElementIDs(), Selection{a});

    // An element that cannot be encoded leaves the pasteboard as it was.
    BurnInElement broken = presets[1].elements[0];
    broken.fontSize = INFINITY;
    state().copyElementToPasteboard(broken);
    EXPECT_EQ(parseJsonText(*pasteboard->data(AppState::elementPasteboardType))["id"],
              a.uuidString());
}

TEST_F(AppStateElements, ACopyIsPastedByTheStateObjectOfALaterRunIntoAnotherPreset) {
    const BurnInElement copied = activeElements()[2];
    state().copyElementToPasteboard(copied);
    const std::unique_ptr<AppState> later = nextRun();
    ASSERT_EQ(later->activePresetIndex(), 1u);
    later->setActivePresetID(later->presets()[2].id);
    ASSERT_TRUE(later->pasteElementFromPasteboard());
    const std::vector<BurnInElement> &colorist = later->presets()[2].elements;
    ASSERT_EQ(colorist.size(), 2u);
    EXPECT_EQ(colorist[1].label, copied.label);
    EXPECT_EQ(colorist[1].field, copied.field);
    EXPECT_EQ(later->selectedElementID(), colorist[1].id);
}

TEST_F(AppStateElements, TheDesktopClipboardCarriesACopyToAnotherStateObject) {
    AppState::Services services = fakeServices();
    services.pasteboard = std::make_shared<platform::ClipboardPasteboard>();
    AppState copying(services);
    copying.start();
    platform::MainQueue::runPending();
    QGuiApplication::clipboard()->setText("something else");

    const BurnInElement copied = copying.presets()[0].elements[3];
    copying.copyElementToPasteboard(copied);
    const QMimeData *contents = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->formats(), QStringList{AppState::elementPasteboardType});

    AppState pasting(services);
    pasting.start();
    platform::MainQueue::runPending();
    ASSERT_TRUE(pasting.pasteElementFromPasteboard());
    EXPECT_EQ(pasting.presets()[*pasting.activePresetIndex()].elements.back().label, copied.label);
    QGuiApplication::clipboard()->clear();
}

} // namespace
} // namespace tandrel
