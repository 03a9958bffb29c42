// SPDX-License-Identifier: MIT
#pragma once
// One expansion of a large folder in a view, measured: the folder tree, or a
// QTreeView over QFileSystemModel on the same folder.

#include <string>

struct ExpansionFigures {
    double firstRowsMs = 0;  // until the first children are shown
    double allSortedMs = 0;  // until every child is there, in order
    double longestStallMs = 0;
    double bytesPerNode = 0; // heap kept per child (malloc's count)
    long rows = 0;
};

struct BurstFigures {
    double longestStallMs = 0;
    double settledMs = 0;    // until the view shows every new folder
    bool equalToDisk = false;
};

// `folder` is expanded in a view showing its parent; files too when asked.
ExpansionFigures expandInTree(const std::string& folder, bool showFiles, long expected);
ExpansionFigures expandInFileSystemModel(const std::string& folder, bool showFiles, long expected);

// With `folder` expanded, another thread makes `count` folders in it.
BurstFigures burstInTree(const std::string& folder, int count);
BurstFigures burstInFileSystemModel(const std::string& folder, int count);
