#pragma once
// Whole pictures to and from pixel arrays. A PixelArray holds one value &H00RRGGBB
// per pixel (blue in the low byte), indexed (x, y) from the top-left corner, with x
// varying fastest: its storage is the pixel block of a top-down 32-bit image.
#include <QImage>
#include <cstdint>
#include <vector>

class QPainter;

class PixelArray {
public:
    PixelArray() = default;  // never dimensioned
    PixelArray(int width, int height, int32_t fill = 0) { redim(width, height, fill); }

    // Bounds 0 To width - 1, 0 To height - 1; every element := fill.
    void redim(int width, int height, int32_t fill = 0);
    bool dimensioned() const { return w_ > 0 && h_ > 0; }
    // Upper bounds of the two dimensions; error 9 on an array never dimensioned.
    int ubound1() const;
    int ubound2() const;
    int width() const { return w_; }
    int height() const { return h_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }

    // Checked access: error 9 outside the bounds.
    int32_t get(int x, int y) const;
    void set(int x, int y, int32_t v);
    // Unchecked access for loops that keep within the bounds themselves.
    int32_t& operator()(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
    int32_t operator()(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
    void fill(int32_t v);

    int32_t* data() { return px_.data(); }
    const int32_t* data() const { return px_.data(); }
    bool operator==(const PixelArray& o) const = default;

private:
    int w_ = 0;
    int h_ = 0;
    std::vector<int32_t> px_;
};

// Reads the picture into p. Transparency is flattened onto white first (white is the
// renderer's transparent value). A null picture yields the single element (0, 0) = 0.
void GetArrFromHdl(PixelArray& p, const QImage& Hdl);
// Paints p 1:1 with its element (0, 0) at the painter's origin; an array never
// dimensioned paints nothing.
void DrawArr(const PixelArray& p, QPainter& DstDc);
// The array as an opaque image (what DrawArr paints).
QImage ArrToImage(const PixelArray& p);
