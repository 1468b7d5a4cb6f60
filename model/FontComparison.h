// What differs between the fonts of two images: the comparison behind a
// printer's read-back check and an offline comparison of two image files.
#pragma once

#include <vector>

class FontImage;

struct FontDifference {
    enum What {
        kOnlyInFirst,   // the first image has a font at this index, the second none
        kOnlyInSecond,
        kName,          // the 8 name bytes
        kHeight,
        kInterval,
        kHeightLimit,
        kWidth,         // a symbol's width
        kColumns,       // a symbol's columns, of equal width and height
    };
    What what;
    int font;       // the font's index in the images
    int code;       // the symbol's code, or -1 for the font's own settings
    int first = 0;  // the values of height, interval, height limit or width; for
    int second = 0; // kColumns both hold the symbols' width
};

// Every difference, font by font in index order: a font's name and settings
// before its symbols in code order. A symbol's columns are compared only when
// its width and its font's height agree, since otherwise they cannot.
std::vector<FontDifference> CompareFonts(const FontImage& first, const FontImage& second);
