#pragma once

#include <QRect>
#include <QSize>

#include <vector>

namespace kurvaro {

/// What has been drawn into the picture since it was last presented, so that
/// a presentation needs to hand over only that: the whole picture after it
/// was cleared, and for curves one rectangle per strip of StripWidth columns,
/// from the highest to the lowest row drawn into that strip, neighbouring
/// strips joined where that adds at most MergeSlack pixels. The rectangles
/// may cover more than was drawn, never less.
class ChangedArea
{
public:
    /// Columns per strip: narrow enough that a curve's strips stay close to
    /// its path, wide enough that a picture has few of them.
    static constexpr int StripWidth = 32;
    /// Each rectangle costs about as much to show as this many pixels more.
    static constexpr long long MergeSlack = 2 * StripWidth * StripWidth;

    /// Everything changed: the picture was cleared, now W x H.
    void setWhole(QSize size);
    /// The pixels in columns x0 to x1 and rows y0 to y1 (both ends included,
    /// in any order, anywhere in the 64-bit range) may have changed; only the
    /// part inside the picture counts.
    void add(long long x0, long long y0, long long x1, long long y1);
    /// Nothing changed since the last presentation (the size stays).
    void clear();

    bool isEmpty() const;
    /// The changed area as rectangles inside the picture, left to right; no
    /// two overlap. One rectangle of the picture's size when all changed.
    std::vector<QRect> rects() const;

private:
    /// Rows top to bottom of one strip; empty while top > bottom.
    struct Rows
    {
        int top = 0;
        int bottom = -1;
    };

    QSize size;
    bool whole = false;
    bool any = false;
    std::vector<Rows> strips;
};

} // namespace kurvaro
