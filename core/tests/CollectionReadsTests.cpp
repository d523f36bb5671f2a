#include "core/database/CollectionReads.h"
#include "core/database/CollectionVisits.h"
#include "core/tests/ClipFixture.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using P = PlistValue;

std::string identifier(int n) {
    return "00000000-0000-4000-8000-00000000000" + std::to_string(n);
}

TEST(CollectionReads, OrdersContainedItemsAsTheSlotListsThem) {
    testing::HandMadeEvent event;
    auto &writer = event.writer();
    const auto container = [&](std::vector<int> listed) {
        const int64_t pk = event.add("FFAnchoredCollection", P::Dictionary{});
        P::Array order;
        for (int n : listed) {
            order.push_back(P::string(identifier(n)));
        }
        return std::pair{pk, writer.add({"NSArray", std::nullopt, "containedItems",
                                         sample::KeyedArchiver::archive(P::array(order))},
                                        pk)};
    };
    const auto item = [&](int64_t slot, int n) {
        return writer.add({"FFAnchoredCollection", identifier(n), std::nullopt, std::nullopt},
                          slot);
    };
    // Listed 3, 1; item 2 is not listed, and 9 is listed but not contained.
    const auto [partly, partlySlot] = container({3, 9, 1});
    const int64_t one = item(partlySlot, 1);
    const int64_t two = item(partlySlot, 2);
    const int64_t three = item(partlySlot, 3);
    item(event.add("NSArray", std::nullopt), 9);
    const auto [unlisted, unlistedSlot] = container({});
    const int64_t four = item(unlistedSlot, 4);
    const int64_t five = item(unlistedSlot, 5);
    const int64_t empty = event.add("FFAnchoredCollection", P::Dictionary{});
    event.slot(empty, "containedItems");
    const int64_t none = event.add("FFAnchoredCollection", P::Dictionary{});

    auto &db = event.open();
    EXPECT_EQ(CollectionReads::orderedContainedItems(db, partly),
              (std::vector<int64_t>{three, one, two}));
    EXPECT_EQ(CollectionReads::orderedContainedItems(db, unlisted),
              (std::vector<int64_t>{four, five}));
    EXPECT_TRUE(CollectionReads::orderedContainedItems(db, empty).empty());
    EXPECT_TRUE(CollectionReads::orderedContainedItems(db, none).empty());
    EXPECT_EQ(CollectionReads::slotItems(db, partly, "containedItems"),
              (std::vector<int64_t>{one, two, three}));
    EXPECT_TRUE(CollectionReads::slotItems(db, partly, "anchoredItems").empty());
    EXPECT_EQ(CollectionReads::type(db, one), "FFAnchoredCollection");
    EXPECT_EQ(CollectionReads::decodedBlob(db, one), std::nullopt);
    EXPECT_EQ(CollectionReads::info(db, 999)->type, std::nullopt);
}

// A walk enters a handful of collections in place and any number beyond them in a set: each
// is entered once either way.
TEST(CollectionVisits, EntersEachCollectionOnceHoweverManyTheWalkMeets) {
    for (int64_t count : {3, 24, 25, 200}) {
        SCOPED_TRACE(count);
        CollectionVisits visits;
        for (int64_t pk = 1; pk <= count; ++pk) {
            EXPECT_TRUE(visits.enter(pk * 7));
        }
        for (int64_t pk = count; pk >= 1; --pk) {
            EXPECT_FALSE(visits.enter(pk * 7));
        }
        EXPECT_TRUE(visits.enter(-1));
    }
}

} // namespace
} // namespace tandrel
