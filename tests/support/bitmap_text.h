#pragma once
// Small monochrome bitmaps written as text, and a comparison that says where
// two bitmaps differ. For tests of every folder.
//
//   const Bitmap b = bitmapFromRows({"0110",
//                                    "1001"});   // '1' (or '#') is black
//   EXPECT_TRUE(bitmapsEqual(actual, b));        // or expectBitmapsEqual(actual, b)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace quillet::test {

// Builds a monochrome bitmap, one string per row, top row first: '1' or '#'
// is black, '0' or '.' white. All rows must have the same length (a mismatch
// or any other character fails the current test and yields an empty bitmap).
imaging::Bitmap bitmapFromRows(const std::vector<std::string>& rows);

// The rows of a monochrome bitmap as '0'/'1' strings (colour pixels darker
// than mid-grey count as '1').
std::vector<std::string> bitmapRows(const imaging::Bitmap& bitmap);

// Success when both have the same size and the same pixels (compared as
// black/white for monochrome bitmaps, as colours otherwise). On failure the
// message gives both sizes or the first differing pixel (row-major order),
// the number of differing pixels and, for small bitmaps, both pictures.
::testing::AssertionResult bitmapsEqual(const imaging::Bitmap& actual, const imaging::Bitmap& expected);

// EXPECT_TRUE(bitmapsEqual(actual, expected)) with the caller's line.
#define EXPECT_BITMAPS_EQUAL(actual, expected) EXPECT_TRUE(::quillet::test::bitmapsEqual((actual), (expected)))

// Same as the macro, for use where a function reads better.
void expectBitmapsEqual(const imaging::Bitmap& actual, const imaging::Bitmap& expected);

}  // namespace quillet::test
