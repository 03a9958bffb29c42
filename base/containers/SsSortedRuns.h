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

// Sorts `items`, stable, taking advantage of runs that are sorted already
// (batches sorted where they were made, then put one after the other): the
// runs are found and merged pairwise. Input without such runs is sorted
// outright.
template <typename T, typename Less>
void SsSortRuns(std::vector<T>& items, Less less)
{
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (less(items[i], items[i - 1]))
            starts.push_back(i);
    }
    if (starts.size() > 1 + items.size() / 16) {
        std::stable_sort(items.begin(), items.end(), less);
        return;
    }
    starts.push_back(items.size());
    while (starts.size() > 2) {
        std::vector<std::size_t> merged{0};
        for (std::size_t i = 0; i + 1 < starts.size() - 1; i += 2) {
            const std::size_t end = starts[i + 2];
            std::inplace_merge(items.begin() + std::ptrdiff_t(starts[i]), items.begin() + std::ptrdiff_t(starts[i + 1]),
                               items.begin() + std::ptrdiff_t(end), less);
            merged.push_back(end);
        }
        if ((starts.size() - 1) % 2 == 1)
            merged.push_back(starts.back());
        starts = std::move(merged);
    }
}
