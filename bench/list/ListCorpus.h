// SPDX-License-Identifier: MIT
#pragma once
// A folder of files as varied as users' are: short and long names, mixed
// case, spaces and brackets, accents and CJK, names that are no UTF-8,
// with and without extensions, sizes from nothing to megabytes (sparse, so
// the corpus costs little disk) and times spread over a year.

#include <string>

// Makes `count` files in `folder` unless it holds that many already;
// answers how many it holds.
long MakeListCorpus(const std::string& folder, long count);
