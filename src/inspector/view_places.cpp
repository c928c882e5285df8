#include "inspector/view_places.h"

namespace norvane {

ViewPlaces PlaceViewsIn(ViewPlace area, int textTop, int gap, bool withPicture, bool withText) {
    ViewPlaces places;
    places.dump = area;
    int free = area.bottom;  // the bottom of what is still free, from the area's top
    if (withText) {
        places.text = {area.left, textTop, area.right, area.bottom};
        free = textTop - gap;
    }
    if (withPicture) {
        const int top = area.top + (free - area.top) * 2 / 5;
        places.picture = {area.left, top, area.right, free};
        free = top - gap;
    }
    places.dump.bottom = free;
    return places;
}

}  // namespace norvane
