#include "inspector/view_places.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

bool Overlap(const ViewPlace& a, const ViewPlace& b) {
    return !a.Empty() && !b.Empty() && a.left < b.right && b.left < a.right && a.top < b.bottom &&
           b.top < a.bottom;
}

bool Within(const ViewPlace& inner, const ViewPlace& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// The inspector's own layout at 96 dpi: the dump's place from 76 to 398, the
// text row from 262, views 6 apart.
TEST(ViewPlaces, EveryCombinationOfViewsGivesEachShownViewItsOwnPlace) {
    const ViewPlace area{8, 76, 592, 398};
    for (const bool withPicture : {false, true}) {
        for (const bool withText : {false, true}) {
            const ViewPlaces p = PlaceViewsIn(area, 262, 6, withPicture, withText);
            SCOPED_TRACE(testing::Message() << "picture " << withPicture << ", text " << withText);
            EXPECT_EQ(p.picture.Empty(), !withPicture);
            EXPECT_EQ(p.text.Empty(), !withText);
            EXPECT_FALSE(p.dump.Empty());
            for (const ViewPlace* view : {&p.dump, &p.picture, &p.text})
                EXPECT_TRUE(view->Empty() || Within(*view, area));
            EXPECT_FALSE(Overlap(p.dump, p.picture));
            EXPECT_FALSE(Overlap(p.dump, p.text));
            EXPECT_FALSE(Overlap(p.picture, p.text));
        }
    }
    // Alone, each takes what it took before: the text row as laid out, the
    // picture the lower three fifths.
    EXPECT_EQ(PlaceViewsIn(area, 262, 6, false, true).text, (ViewPlace{8, 262, 592, 398}));
    EXPECT_EQ(PlaceViewsIn(area, 262, 6, true, false).picture, (ViewPlace{8, 204, 592, 398}));
    EXPECT_EQ(PlaceViewsIn(area, 262, 6, false, false).dump, area);
}

}  // namespace
}  // namespace norvane
