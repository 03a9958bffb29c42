// SPDX-License-Identifier: MIT
#include "platform/files/ErrorText.h"

#include <cerrno>
#include <cstring>

namespace dw::platform {

std::string describeError(int error)
{
    if (error == EAGAIN)
        return "changed while it was being read";
    if (error == EINVAL)
        return "not a regular file";
    if (error == EBUSY)
        return "held by another program";
    return std::strerror(error);
}

} // namespace dw::platform
