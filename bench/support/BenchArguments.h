// SPDX-License-Identifier: MIT
#pragma once
// The options the benchmarks take, each written "--name VALUE".

#include <cstdlib>
#include <cstring>

namespace bench {

// The value after `name`; null when it is not given.
inline const char* textArgument(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

inline int argument(int argc, char** argv, const char* name, int fallback)
{
    const char* text = textArgument(argc, argv, name);
    return text ? std::atoi(text) : fallback;
}

} // namespace bench
