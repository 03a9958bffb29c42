// SPDX-License-Identifier: MIT
// libFuzzer target over the readers of drag data from other programs: the
// id-list array of the "Shell IDList Array" format and text/uri-list.
//
// For any bytes: nothing is read outside the input (the sanitizers watch),
// reading costs no more than the input's size (the lists looked at and
// copied, the absolute lists and the paths an input stands for), whatever
// is accepted is well formed, and writing it out again reads back the same
// items. Seeds, among them blocks whose offsets all name one long list:
// build-fuzz/drag-data-seeds CORPUS_DIR.

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

// The bytes validators were shown while one input was read: a list's size
// when it was taken, the whole window offered when it was refused.
std::size_t bytesShown = 0;

template <IdListValidator validate>
std::uint32_t counted(const void* buffer, std::size_t size)
{
    const std::uint32_t listSize = validate(buffer, size);
    bytesShown += listSize ? listSize : size;
    return listSize;
}

void checkIdListArray(std::string_view input, IdListValidator validate)
{
    bytesShown = 0;
    const auto array = decodeIdListArray(input, validate);
    check(bytesShown <= input.size());
    if (!array)
        return;
    check(!array->children.empty() && array->children.size() <= kMaxIdListArrayItems);
    std::vector<const ItemIdList*> children;
    std::size_t absoluteBytes = 0;
    for (const IdListPtr& child : array->children) {
        check(ILIdSize(child.get()) != 0);
        children.push_back(child.get());
        absoluteBytes += ILGetSize(array->parent.get()) - 2 + ILGetSize(child.get());
    }
    check(absoluteBytes <= kMaxIdListArrayBytes);
    // Written out, lists that shared bytes each get their own: the block may
    // then grow past what a block may be.
    const std::string again = encodeIdListArray(array->parent.get(), children);
    if (again.size() > kMaxIdListArrayBytes)
        return;
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
    std::size_t pathBytes = 0;
    for (const std::string& path : *paths) {
        pathBytes += path.size();
        check(!path.empty() && path.front() == '/' && path.find('\0') == std::string::npos);
        check(path.find("//") == std::string::npos && path.find("/../") == std::string::npos);
        check(path == "/" || path.back() != '/');
    }
    check(pathBytes <= input.size());
    check(decodeUriList(encodeUriList(*paths), "fuzzhost") == paths);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkIdListArray(input, counted<validateNamespaceIdList>);
    checkIdListArray(input, counted<ILValidate>);
    checkUriList(input);
    return 0;
}
