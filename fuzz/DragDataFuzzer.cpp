// SPDX-License-Identifier: MIT
// libFuzzer target over the readers of drag data from other programs: the
// id-list array of the "Shell IDList Array" format and text/uri-list.
//
// For any bytes: nothing is read outside the input (the sanitizers watch),
// whatever is accepted is well formed, and writing it out again reads back
// the same items.

#include "platform/dragdata/IdListArray.h"
#include "platform/dragdata/UriList.h"
#include "platform/namespace/IdRecord.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace dw::platform;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkIdListArray(std::string_view input, IdListValidator validate)
{
    const auto array = decodeIdListArray(input, validate);
    if (!array)
        return;
    check(!array->children.empty() && array->children.size() <= kMaxIdListArrayItems);
    std::vector<const ItemIdList*> children;
    for (const IdListPtr& child : array->children) {
        check(ILIdSize(child.get()) != 0);
        children.push_back(child.get());
    }
    const std::string again = encodeIdListArray(array->parent.get(), children);
    const auto reread = decodeIdListArray(again, validate);
    check(reread && ILIsEqual(reread->parent.get(), array->parent.get()));
    check(reread->children.size() == children.size());
    for (std::size_t i = 0; i < children.size(); ++i)
        check(ILIsEqual(reread->children[i].get(), children[i]));
}

void checkUriList(std::string_view input)
{
    const auto paths = decodeUriList(input, "fuzzhost");
    if (!paths)
        return;
    for (const std::string& path : *paths) {
        check(!path.empty() && path.front() == '/' && path.find('\0') == std::string::npos);
        check(path.find("//") == std::string::npos && path.find("/../") == std::string::npos);
        check(path == "/" || path.back() != '/');
    }
    check(decodeUriList(encodeUriList(*paths), "fuzzhost") == paths);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkIdListArray(input, validateNamespaceIdList);
    checkIdListArray(input, ILValidate);
    checkUriList(input);
    return 0;
}
