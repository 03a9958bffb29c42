// SPDX-License-Identifier: MIT
#pragma once
// The library's exception family.
//
// Every failure of the library is an ESsException carrying a 32-bit error code
// and a message. The message comes from the message table (SsConst.h) by code;
// the formatting constructor uses the table's text as a format for the given
// arguments (see SsFormat.h):
//
//   throw ESsInvalidFolder(ssscInvalidFolder);                 // "Invalid folder"
//   throw ESsShellError(ssscShellEntryMissing, {2, "SHChangeNotifyRegister"});
//
// The code always equals the code given, also for a code without a table row
// (whose message is then empty).

#include "base/exceptions/SsConst.h"
#include "base/exceptions/SsFormat.h"

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

class ESsException : public std::runtime_error {
public:
    explicit ESsException(std::int32_t code);
    ESsException(std::int32_t code, std::initializer_list<SsFormatArg> args);

    std::int32_t ErrorCode() const noexcept { return m_errorCode; }
    std::string Message() const { return what(); }

private:
    std::int32_t m_errorCode;
};

class ESsContainerError : public ESsException {
public:
    using ESsException::ESsException;
};

class ESsVersionInfoError : public ESsException {
public:
    using ESsException::ESsException;
};

class ESsShellError : public ESsException {
public:
    using ESsException::ESsException;
};

class ESsInvalidFolder : public ESsException {
public:
    using ESsException::ESsException;
};

class ESsBufStreamError : public ESsException {
public:
    using ESsException::ESsException;
};

class ESsRegExError : public ESsException {
public:
    using ESsException::ESsException;
};
