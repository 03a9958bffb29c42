// SPDX-License-Identifier: MIT
#pragma once
// One folder shown in a view, measured: the shell file list, or a QTreeView
// over QFileSystemModel on the same folder.

#include <string>
#include <vector>

struct ShowFigures {
    double firstRowsMs = 0;     // until the first rows are painted
    double allSortedMs = 0;     // until every row is there, in order
    double longestStallMs = 0;  // of the UI thread, meanwhile
    double longestCpuStallMs = 0; // the UI thread's own processor time in that worst gap
    double bytesPerRow = 0;     // heap kept per row (malloc's count)
    double sortBySizeMs = 0;    // re-sorting every row by size, painted
    double sortByDateMs = 0;    // and by time of the last change
    long rows = 0;
};

struct BurstFigures {
    double longestStallMs = 0;
    double longestCpuStallMs = 0;
    double settledMs = 0;       // until the view shows every new file
    bool equalToDisk = false;   // what it shows then is what the folder holds
};

ShowFigures showInList(const std::string& folder, long expected);
ShowFigures showInFileSystemModel(const std::string& folder, long expected);

// With `folder` shown, another thread makes `count` files in it.
BurstFigures burstInList(const std::string& folder, int count);
BurstFigures burstInFileSystemModel(const std::string& folder, int count);

// The heap in use now (malloc's arenas and its large blocks).
double heapBytes();
// The names of the folder's entries, their bytes, sorted.
std::vector<std::string> namesOnDisk(const std::string& folder);
