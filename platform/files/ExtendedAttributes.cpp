// SPDX-License-Identifier: MIT
#include "platform/files/ExtendedAttributes.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <sys/xattr.h>
#include <vector>

namespace dw::platform {

namespace {

// Reads a list or a value whose size may change between the size query and
// the read: retried until both agree.
template <typename Query>
int readSized(Query query, std::vector<char>& into)
{
    for (;;) {
        const ssize_t size = query(nullptr, 0);
        if (size < 0)
            return errno;
        into.resize(std::size_t(size));
        if (size == 0)
            return 0; // the usual case: nothing to read
        const ssize_t got = query(into.data(), into.size());
        if (got >= 0) {
            into.resize(std::size_t(got));
            return 0;
        }
        if (errno != ERANGE)
            return errno;
    }
}

// The attribute names of `fd`; a file system without attributes has none.
int namesOf(int fd, std::vector<std::string>& names)
{
    std::vector<char> list;
    if (int error = readSized([&](char* buf, std::size_t size) { return ::flistxattr(fd, buf, size); }, list))
        return error == ENOTSUP ? 0 : error;
    for (std::size_t at = 0; at < list.size();) {
        const std::string_view name(list.data() + at);
        names.emplace_back(name);
        at += name.size() + 1;
    }
    return 0;
}

// 0, ENODATA when the attribute is not there, or another errno.
int valueOf(int fd, const std::string& name, std::vector<char>& value)
{
    return readSized([&](char* buf, std::size_t size) { return ::fgetxattr(fd, name.c_str(), buf, size); }, value);
}

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

AttributeOutcome notPossible(int error) { return {AttributeMatch::NotPossible, error}; }

} // namespace

AttributeOutcome matchExtendedAttributes(int from, int to)
{
    std::vector<std::string> wanted, present;
    if (int error = namesOf(from, wanted))
        return {AttributeMatch::Failed, error};
    if (int error = namesOf(to, present))
        return notPossible(error);
    for (const std::string& name : present)
        if (!contains(wanted, name) && ::fremovexattr(to, name.c_str()) != 0 && errno != ENODATA)
            return notPossible(errno);
    std::vector<char> value, theirs;
    for (const std::string& name : wanted) {
        if (int error = valueOf(from, name, value)) {
            if (error == ENODATA)
                continue; // taken away since it was listed
            return {AttributeMatch::Failed, error};
        }
        if (contains(present, name) && valueOf(to, name, theirs) == 0 && theirs == value)
            continue;
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0)
            return notPossible(errno);
    }
    return {};
}

} // namespace dw::platform
