// Scroll-bar arithmetic shared by the windows' own bars and the scroll-bar control. A range may
// use all 32 bits (a document 2^31 - 1 pixels high, a page as large), so every sum and difference
// is taken in 64 bits and each result comes back inside the range or the track.
#pragma once

#include <algorithm>
#include <cstdint>

// The last position: the one that shows the last page.
inline int ScrollMaxPos(int Min, int Max, std::int64_t Page)
{
    return static_cast<int>(
        std::max<std::int64_t>(Min, std::int64_t(Max) - std::max<std::int64_t>(0, Page - 1)));
}

// The number of positions, Min to Max.
inline std::int64_t ScrollRange(int Min, int Max)
{
    return std::int64_t(Max) - Min + 1;
}

// The thumb's length in a track of Track pixels: the page's share of the range, at least 8 pixels;
// Square when there is no page. Never longer than the track.
inline int ScrollThumbLength(int Track, int Min, int Max, std::int64_t Page, int Square)
{
    std::int64_t Len = Square;
    if (Page > 0)
        Len = std::max<std::int64_t>(8, std::int64_t(Track) * Page /
                                            std::max<std::int64_t>(1, ScrollRange(Min, Max)));
    return static_cast<int>(std::clamp<std::int64_t>(Len, 0, std::max(Track, 0)));
}

// How far the thumb for Pos sits from the start of the Room it moves in (the track less the thumb).
inline int ScrollThumbOffset(int Room, int Min, int MaxPos, int Pos)
{
    const std::int64_t Span = std::int64_t(MaxPos) - Min;
    if (Span <= 0 || Room <= 0)
        return 0;
    return static_cast<int>(std::int64_t(Room) * (std::int64_t(std::clamp(Pos, Min, MaxPos)) - Min) / Span);
}

// The position whose thumb sits Offset pixels into its Room, to the nearest position.
inline int ScrollPosAt(std::int64_t Offset, int Room, int Min, int MaxPos)
{
    if (Room <= 0)
        return Min;
    Offset = std::clamp<std::int64_t>(Offset, 0, Room);
    return static_cast<int>(Min + (Offset * (std::int64_t(MaxPos) - Min) + Room / 2) / Room);
}

// Pos moved by Delta positions, held within Min..MaxPos.
inline int ScrollPosMoved(int Pos, std::int64_t Delta, int Min, int MaxPos)
{
    return static_cast<int>(std::clamp<std::int64_t>(Pos + Delta, Min, std::max(Min, MaxPos)));
}
