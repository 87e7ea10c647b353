#pragma once
// Plain integer geometry used by the bitmap operations.

namespace quillet::imaging {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(Point, Point) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(Size, Size) = default;
};

// A rectangle given by its left/top edge (inclusive) and right/bottom edge
// (exclusive), as the drawing operations take it.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(Rect, Rect) = default;
};

}  // namespace quillet::imaging
