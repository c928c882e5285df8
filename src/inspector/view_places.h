// Where the inspector's views go within the place of its dump: the hex dump
// on top, below it the picture preview, below that the text row (the text
// view, and beside it the formatted view), each shown view in a place of its
// own so that none covers another.
#pragma once

namespace norvane {

struct ViewPlace {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const ViewPlace&, const ViewPlace&) = default;
};

struct ViewPlaces {
    ViewPlace dump, picture, text;  // an empty place for a view not shown
};

// The places within `area` (the dump's whole place), the text row from
// `textTop` to the area's bottom as the form lays it out, views `gap` apart.
// The picture takes the lower three fifths of what the text row leaves.
ViewPlaces PlaceViewsIn(ViewPlace area, int textTop, int gap, bool withPicture, bool withText);

}  // namespace norvane
