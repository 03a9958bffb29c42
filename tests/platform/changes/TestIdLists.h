// SPDX-License-Identifier: MIT
#pragma once
// Id lists for tests: a list made of one id per given name.

#include "platform/idlist/IdList.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace dw::platform::testing {

inline IdListPtr makeList(std::initializer_list<std::string_view> names)
{
    IdListPtr list(ILAlloc(2));
    reinterpret_cast<unsigned char*>(list.get())[0] = 0;
    reinterpret_cast<unsigned char*>(list.get())[1] = 0;
    for (std::string_view name : names) {
        IdListPtr id(ILCreateFromData(name));
        list.reset(ILCombine(list.get(), id.get()));
    }
    return list;
}

inline std::string lastName(const ItemIdList* list)
{
    if (list == nullptr)
        return "-";
    return std::string(ILIdData(ILFindLastID(list)));
}

} // namespace dw::platform::testing
