// SPDX-License-Identifier: MIT
#pragma once
// Merging a short sorted run into a long one, as views do when a batch of
// new rows or nodes joins a long sorted list: each element of the second
// run finds its place by galloping from the last place found (the next
// place is most often near it), so most of the long run is never compared.
// Comparing is what costs (it reaches into every element); moving is cheap.

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

// The first element of [from, end) that `item` sorts before.
template <typename Iterator, typename T, typename Less>
Iterator SsGallopUpperBound(Iterator from, Iterator end, const T& item, Less less)
{
    std::ptrdiff_t step = 1;
    Iterator low = from;
    while (step < end - low && !less(item, low[step - 1])) {
        low += step;
        step *= 2;
    }
    const Iterator high = low + std::min(step, end - low);
    return std::upper_bound(low, high, item, less);
}

// `items` holds two sorted runs, [0, middle) and [middle, end); afterwards
// it is one, stable: equal elements of the first run come first.
template <typename T, typename Less>
void SsMergeSortedRuns(std::vector<T>& items, std::size_t middle, Less less)
{
    std::vector<T> merged;
    merged.reserve(items.size());
    const auto firstEnd = items.begin() + static_cast<std::ptrdiff_t>(middle);
    auto first = items.begin();
    for (auto second = firstEnd; second != items.end(); ++second) {
        const auto place = SsGallopUpperBound(first, firstEnd, *second, less);
        std::move(first, place, std::back_inserter(merged));
        merged.push_back(std::move(*second));
        first = place;
    }
    std::move(first, firstEnd, std::back_inserter(merged));
    items.swap(merged);
}
