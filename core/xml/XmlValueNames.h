// Element names shared by the matrix and vector readers and writers.
#pragma once

// The matrix elements, in the order they are written, with their index among the 16 floats
// (row by row). The fourth column is neither written nor read.
struct XmlMatrixCell {
    const char* name;
    int index;
};
constexpr XmlMatrixCell kXmlMatrixCells[] = {
    {"m11", 0}, {"m12", 1}, {"m13", 2},  {"m21", 4},  {"m22", 5},  {"m23", 6},
    {"m31", 8}, {"m32", 9}, {"m33", 10}, {"m41", 12}, {"m42", 13}, {"m43", 14},
};

// The vector elements, in the order of the 4 floats.
constexpr const char* kXmlVectorNames[] = {"x", "y", "z", "w"};
