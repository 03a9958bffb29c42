// SPDX-License-Identifier: MIT
#include "SsBase.h"

ESsException::ESsException(std::int32_t code)
    : std::runtime_error(std::string(SsMessageText(code)))
    , m_errorCode(code)
{
}

ESsException::ESsException(std::int32_t code, std::initializer_list<SsFormatArg> args)
    : std::runtime_error(SsFormat(SsMessageText(code), args))
    , m_errorCode(code)
{
}
