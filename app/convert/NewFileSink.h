// SPDX-License-Identifier: MIT
#pragma once
// Takes a converted calendar into a new, unnamed file beside the original.
// The file is made on the first write, once the calendar is known to be one
// we may rewrite, so a calendar that needs nothing costs no file at all.

#include "app/convert/CalendarStream.h"
#include "platform/files/FileIo.h"
#include "platform/files/NewFile.h"
#include "platform/files/SourceFile.h"

namespace dw::convert {

class NewFileSink : public CalendarSink {
public:
    NewFileSink(const platform::SourceFile& source, const platform::FileIo& io) : source_(source), io_(io) {}

    int write(std::string_view bytes) override;

    // The failure was that the calendar may not be rewritten at all.
    bool refusedToCreate() const { return refused_; }

    platform::NewFile& file() { return file_; }
    std::uint64_t size() const { return written_; }

private:
    int create();

    const platform::SourceFile& source_;
    const platform::FileIo& io_;
    platform::NewFile file_;
    bool refused_ = false;
    std::uint64_t written_ = 0;
    std::uint64_t handedToDisk_ = 0;
    std::uint64_t waitedFor_ = 0;
};

// The calendar may not be written by us: no write permission or, for root
// who ignores permissions, no write bit at all.
bool isReadOnlyForUs(const platform::SourceFile& source);

} // namespace dw::convert
