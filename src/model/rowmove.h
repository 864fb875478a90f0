#pragma once

#include <algorithm>

// Row moves as Qt's item models define them: rows first..last go to stand
// before row `destination` of the list as it was before the move.
//
//     first=1, last=2, destination=4:   A [B C] D | E   ->   A D B C E
//
// A destination inside the block or right after it would change nothing and
// counts as no move.
inline bool isValidRowMove(int first, int last, int destination, int count)
{
    return first >= 0 && last >= first && last < count && destination >= 0 && destination <= count
        && !(destination >= first && destination <= last + 1);
}

// Moves the rows of `list` as above; false, leaving the list alone, for a
// move that is out of range or changes nothing.
template<typename List> bool moveListRows(List &list, int first, int last, int destination)
{
    if (!isValidRowMove(first, last, destination, int(list.size())))
        return false;
    const auto begin = list.begin();
    if (destination < first)
        std::rotate(begin + destination, begin + first, begin + last + 1);
    else
        std::rotate(begin + first, begin + last + 1, begin + destination);
    return true;
}
