// SPDX-License-Identifier: MIT
#include "base/exceptions/SsMessageText.h"

std::string SsWithFullStop(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}
