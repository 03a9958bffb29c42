#include "platform/files/ExtendedAttributes.h"

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
        ssize_t size = query(nullptr, 0);
        if (size < 0)
            return errno;
        into.resize(std::size_t(size));
        ssize_t got = query(into.data(), into.size());
        if (got >= 0) {
            into.resize(std::size_t(got));
            return 0;
        }
        if (errno != ERANGE)
            return errno;
    }
}

bool mayBeSkipped(std::string_view name, int error)
{
    const bool userName = name.substr(0, 5) == "user.";
    return !userName && (error == EPERM || error == ENOTSUP || error == EACCES);
}

int copyOne(int from, int to, const char* name, std::vector<char>& value)
{
    if (int error = readSized([&](char* buf, std::size_t size) { return ::fgetxattr(from, name, buf, size); }, value))
        return error == ENODATA ? 0 : error;
    if (::fsetxattr(to, name, value.data(), value.size(), 0) == 0)
        return 0;
    return mayBeSkipped(name, errno) ? 0 : errno;
}

} // namespace

int copyExtendedAttributes(int from, int to)
{
    std::vector<char> names;
    if (int error = readSized([&](char* buf, std::size_t size) { return ::flistxattr(from, buf, size); }, names))
        return error == ENOTSUP ? 0 : error;
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size();) {
        const char* name = names.data() + at;
        const std::size_t length = std::string_view(name).size();
        if (int error = copyOne(from, to, name, value))
            return error;
        at += length + 1;
    }
    return 0;
}

} // namespace dw::platform
