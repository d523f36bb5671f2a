#include "host/views/common/tests/ViewTestSupport.h"

#include "host/query/QueryResolver.h"
#include "host/views/layout/ElementOptions.h"
#include "host/views/layout/RolePickerModel.h"
#include "host/views/layout/RolePickerView.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <mutex>

namespace tandrel::testing {
namespace {

const std::vector<RoleGroup> groups{
    {{"DIA", "Dialogue"}, {{"DIA-1", "Dialogue-1"}, {"DIA-2", "Dialogue-2"}}},
    {{"FX", "Effects"}, {}},
};

// A table that counts its reads.
class CountingRoles final : public RoleSource {
public:
    std::vector<RoleInfo> topLevelRoles() const override {
        ++reads;
        return table.topLevelRoles();
    }
    std::vector<RoleInfo> subRoles(const std::string &ofTopLevel) const override {
        ++reads;
        return table.subRoles(ofTopLevel);
    }
    RoleTable table{groups};
    mutable int reads = 0;
};

TEST(RolePickerModel, ReadsEachTopLevelRoleWithItsSubRoles) {
    const CountingRoles roles;
    EXPECT_EQ(readRoleGroups(roles), groups);
    EXPECT_EQ(roles.reads, 3);
    EXPECT_TRUE(readRoleGroups(RoleTable({})).empty());
}

class RolePickerRows : public ElementTest {
protected:
    RolePickerView &picker(std::vector<RoleGroup> table = groups) {
        BurnInElement role(MetadataField::roleText);
        usePreset({role});
        view_ = std::make_unique<RolePickerView>(state(), role.id,
                                                 std::make_shared<RoleTable>(std::move(table)));
        view_->resize(320, 400);
        view_->show();
        platform::MainQueue::runPending();
        return *view_;
    }
    std::unique_ptr<RolePickerView> view_;
};

TEST_F(RolePickerRows, TopLevelRolesAndSubRolesAreTickedApart) {
    RolePickerView &view = picker();
    EXPECT_EQ(view.heading()->text(),
              QStringLiteral("Roles (select any that should trigger this element)"));
    EXPECT_FALSE(view.warning()->isHidden());
    EXPECT_EQ(view.warning()->text(),
              QStringLiteral("None selected yet — this element won't show anything until you "
                             "pick one below."));

    view.row("DIA")->click();
    EXPECT_EQ(element(0).roleFilterUIDs, std::set<std::string>{"DIA"});
    EXPECT_TRUE(view.warning()->isHidden());
    EXPECT_TRUE(view.row("DIA")->isTicked());
    EXPECT_FALSE(view.row("DIA-1")->isTicked());

    view.row("DIA-2")->click();
    view.row("DIA")->click();
    EXPECT_EQ(element(0).roleFilterUIDs, std::set<std::string>{"DIA-2"});
    view.row("DIA-2")->click();
    EXPECT_TRUE(element(0).roleFilterUIDs.empty());
    EXPECT_FALSE(view.warning()->isHidden());
    EXPECT_EQ(presetWrites, 4);
}

TEST_F(RolePickerRows, TheWholeRowTakesTheClick) {
    RolePickerView &view = picker();
    RoleRow *effects = view.row("FX");
    ASSERT_GT(effects->width(), 200);
    QTest::mouseClick(effects, Qt::LeftButton, {},
                      QPoint(effects->width() - 4, effects->height() / 2));
    platform::MainQueue::runPending();
    EXPECT_EQ(element(0).roleFilterUIDs, std::set<std::string>{"FX"});
    EXPECT_TRUE(view.row("FX")->isTicked());
}

TEST_F(RolePickerRows, GroupsStartCollapsedAndKeepTheirStateAcrossRebuilds) {
    RolePickerView &view = picker();
    ASSERT_NE(view.disclosure("DIA"), nullptr);
    EXPECT_EQ(view.disclosure("FX"), nullptr);
    EXPECT_FALSE(view.isExpanded("DIA"));
    EXPECT_FALSE(view.row("DIA-1")->isVisibleTo(&view));
    view.disclosure("DIA")->click();
    EXPECT_TRUE(view.row("DIA-1")->isVisibleTo(&view));
    EXPECT_EQ(presetWrites, 0);

    // A change of the element builds the list again; the group stays open.
    view.row("FX")->click();
    platform::MainQueue::runPending();
    EXPECT_TRUE(view.isExpanded("DIA"));
    EXPECT_TRUE(view.row("DIA-1")->isVisibleTo(&view));
}

TEST_F(RolePickerRows, DisplayModeAndItsHelpLine) {
    RolePickerView &view = picker();
    QComboBox *mode = view.displayMode();
    ASSERT_EQ(mode->count(), 3);
    EXPECT_EQ(mode->accessibleName(), QStringLiteral("Show"));
    EXPECT_EQ(mode->itemText(0), QStringLiteral("Custom Text"));
    EXPECT_EQ(mode->itemText(1), QStringLiteral("Media Filename"));
    EXPECT_EQ(mode->itemText(2), QStringLiteral("Role Name"));
    EXPECT_EQ(view.help()->text(),
              QString::fromUtf8(ElementOptions::roleHelp(RoleDisplayMode::custom).data()));
    mode->setCurrentIndex(2);
    emit mode->activated(2);
    EXPECT_EQ(element(0).roleDisplayMode, RoleDisplayMode::roleName);
    EXPECT_EQ(view.help()->text(),
              QStringLiteral("Shows the role's own name (e.g. \"Music\", \"Brennisk\")."));
    mode->setCurrentIndex(0);
    emit mode->activated(0);
    EXPECT_EQ(view.help()->text(),
              QStringLiteral("The Label above is shown while a clip with any selected role is "
                             "active."));
}

TEST_F(RolePickerRows, WithoutRolesOnlyTheHintShows) {
    RolePickerView &view = picker({});
    EXPECT_TRUE(view.noRoles()->isVisibleTo(&view));
    EXPECT_EQ(view.noRoles()->text(),
              QStringLiteral("No roles found — pick a library/timeline first."));
    EXPECT_TRUE(view.displayMode()->isVisibleTo(&view));
    EXPECT_TRUE(view.help()->isVisibleTo(&view));
}

using RolePickerLock = ElementTest;

TEST_F(RolePickerLock, AChangeAnnouncedUnderTheResolverLockRebuildsAfterItsRelease) {
    BurnInElement role(MetadataField::roleText);
    usePreset({role});
    RolePickerView view(state(), role.id,
                        std::make_shared<QueryResolverRoles>(state().sharedQueryResolver()));
    platform::MainQueue::runPending();
    EXPECT_EQ(view.builds(), 1);
    EXPECT_TRUE(view.noRoles()->isVisibleTo(&view));
    {
        const std::lock_guard held(state().queryResolver().lock());
        emit state().watchedLibrariesChanged();
        emit state().presetsChanged();
        EXPECT_EQ(view.builds(), 1);
    }
    platform::MainQueue::runPending();
    EXPECT_EQ(view.builds(), 2);
}

} // namespace
} // namespace tandrel::testing
