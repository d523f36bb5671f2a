#include "core/database/RoleResolver.h"
#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/EventDatabaseWriter.h"
#include "tools/make-sample-library/KeyedArchiver.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <gtest/gtest.h>

namespace tandrel {

void PrintTo(const RoleResolver::RoleInfo &role, std::ostream *out) {
    *out << role.uuid << " \"" << role.name << "\"";
}

namespace {

using namespace sample;
using testing::ScratchFolder;
using P = PlistValue;
using RoleInfo = RoleResolver::RoleInfo;

// The object list of a role-set archive holding `root`.
P::Array roleSet(const P &root) {
    return *KeyedArchiver::archiveValue(root).find("$objects")->asArray();
}

P role(const char *uid, std::optional<P> name, P::Array subRoles = {}) {
    P::Dictionary entries{{"$class", P::string("FFRole")},
                          {"uuid", P::string(uid)},
                          {"subRoles", P::array(std::move(subRoles))}};
    if (name) {
        entries.emplace("name", *name);
    }
    return P::dictionary(std::move(entries));
}

TEST(RoleResolver, ReadsTheRoleSetsOfALibrarysTopLevelEvents) {
    ScratchFolder folder;
    LibraryDescription description = standardSampleLibrary();
    // A role only the nested event defines is never read.
    description.events[1].roles.push_back({"role.nested.only", "Nested", {}});
    const auto bundle = SampleLibraryWriter::write(description, folder.path());
    const auto before = testing::snapshotFiles(folder.path());

    RoleResolver roles;
    roles.loadAllRoles(bundle);
    EXPECT_EQ(roles.topLevelRoles(), (std::vector<RoleInfo>{{roles::dialogue, "Dialogue"},
                                                            {roles::effects, "Effects"},
                                                            {roles::music, "Music"},
                                                            {roles::video, "Video"}}));
    EXPECT_EQ(roles.subRoles(roles::dialogue),
              (std::vector<RoleInfo>{{roles::dialogueBoom, "Boom"}, {roles::dialogueLav, "Lav"}}));
    EXPECT_EQ(roles.resolve(roles::dialogueLav), "Lav");
    EXPECT_EQ(roles.topLevelUID(roles::dialogueLav), roles::dialogue);
    EXPECT_EQ(roles.topLevelUID(roles::music), roles::music);
    EXPECT_EQ(roles.topLevelUID("role.unknown"), std::nullopt);
    EXPECT_EQ(roles.resolve("role.nested.only"), std::nullopt);
    EXPECT_TRUE(roles.subRoles("role.unknown").empty());
    EXPECT_EQ(testing::snapshotFiles(folder.path()), before);

    roles.clear();
    EXPECT_TRUE(roles.topLevelRoles().empty());
    EXPECT_THROW(roles.loadAllRoles(folder / "missing.fcpbundle"),
                 std::filesystem::filesystem_error);
}

TEST(RoleResolver, NamesSubRolesThroughTheirParentAndSortsPlainly) {
    RoleResolver roles;
    roles.extractRoles(roleSet(P::array({
        role("D", P::string("Dialogue"),
             {role("D1", P::string("Dialogue-1")), role("D2", std::nullopt, {}),
              role("D3", P::string("$null")), P::string("D4"), P::string("D")}),
        role("b", P::string("b")),
        role("B", P::string("B")),
        role("a", P::string("a")),
        role("S", P::string("Self"), {P::string("S")}),
        P::dictionary(
            {{"$class", P::string("FFRole")}, {"uuid", P::string("no name or subroles")}}),
    })));
    EXPECT_EQ(roles.resolve("D1"), "Dialogue-1");
    EXPECT_EQ(roles.resolve("D2"), "Dialogue");
    EXPECT_EQ(roles.resolve("D3"), "Dialogue"); // "$null" is no name
    EXPECT_EQ(roles.resolve("D4"), "Dialogue"); // listed by text, never defined
    EXPECT_EQ(roles.subRoles("D"), (std::vector<RoleInfo>{{"D1", "Dialogue-1"}}));
    // Listing itself does not make a role its own parent.
    EXPECT_EQ(roles.topLevelUID("S"), "S");
    EXPECT_EQ(roles.topLevelRoles(),
              (std::vector<RoleInfo>{
                  {"B", "B"}, {"D", "Dialogue"}, {"S", "Self"}, {"a", "a"}, {"b", "b"}}));
    EXPECT_FALSE(roles.hasDefinition("no name or subroles"));

    // A later definition of the same UID replaces the earlier one.
    roles.extractRoles(roleSet(role("b", P::string("bee"))));
    EXPECT_EQ(roles.resolve("b"), "bee");
}

TEST(RoleResolver, StopsFollowingReferencesBeyondItsDepthLimit) {
    // The name hangs behind `wrappers` archived strings, each one reference deeper.
    const auto nameBehind = [](int wrappers) {
        P name = P::string("Deep");
        for (int i = 0; i < wrappers; ++i) {
            name = P::dictionary({{"$class", P::string("NSMutableString")}, {"NS.string", name}});
        }
        return name;
    };
    // The role object is reference level 0, its name level 1, each wrapper one more.
    RoleResolver reachable;
    reachable.extractRoles(roleSet(role("R", nameBehind(RoleResolver::maxArchiveDepth - 1))));
    EXPECT_EQ(reachable.resolve("R"), "Deep");
    RoleResolver tooDeep;
    tooDeep.extractRoles(roleSet(role("R", nameBehind(RoleResolver::maxArchiveDepth))));
    EXPECT_TRUE(tooDeep.hasDefinition("R"));
    EXPECT_EQ(tooDeep.resolve("R"), std::nullopt);

    // Cycles and broken references end quietly.
    RoleResolver cyclic;
    cyclic.extractRoles(
        {P::string("$null"),
         P::dictionary({{"uuid", P::uid(2)}, {"name", P::uid(3)}, {"subRoles", P::uid(4)}}),
         P::string("C"), P::dictionary({{"NS.string", P::uid(3)}}),
         P::dictionary({{"NS.objects", P::array({P::uid(1), P::uid(99)})}})});
    EXPECT_TRUE(cyclic.hasDefinition("C"));
    EXPECT_EQ(cyclic.resolve("C"), std::nullopt);
}

TEST(RoleResolver, SkipsEventsWhoseRolesCannotBeRead) {
    ScratchFolder folder;
    const auto bundle = folder / "Broken.fcpbundle";
    std::filesystem::create_directories(bundle / "No tables");
    std::filesystem::create_directories(bundle / "Not an archive");
    std::filesystem::create_directories(bundle / "Good");
    {
        EventDatabaseWriter db(bundle / "No tables" / "CurrentVersion.fcpevent");
        db.execute("DROP TABLE ZCOLLECTION");
    }
    {
        EventDatabaseWriter db(bundle / "Not an archive" / "CurrentVersion.fcpevent");
        db.add({"FFMediaEventProject", "P", std::nullopt,
                KeyedArchiver::archive(P::dictionary({{"roleSetData", P::data({1, 2, 3})}}))});
    }
    {
        EventDatabaseWriter db(bundle / "Good" / "CurrentVersion.fcpevent");
        db.add({"FFMediaEventProject", "P", std::nullopt,
                KeyedArchiver::archive(P::dictionary(
                    {{"roleSetData",
                      P::data(KeyedArchiver::archive(role("G", P::string("Good"))))}}))});
    }
    RoleResolver roles;
    roles.loadAllRoles(bundle);
    EXPECT_EQ(roles.topLevelRoles(), (std::vector<RoleInfo>{{"G", "Good"}}));
    FCPDatabaseConnection noTables((bundle / "No tables" / "CurrentVersion.fcpevent").string());
    EXPECT_THROW(roles.loadRoles(noTables), FCPDatabaseError);
}

} // namespace
} // namespace tandrel
