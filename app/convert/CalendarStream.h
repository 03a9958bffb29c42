// SPDX-License-Identifier: MIT
#pragma once
// Scans and converts one calendar a piece at a time, so that memory stays the
// same whatever the calendar's size and speed does not fall as it grows. A
// calendar that needs nothing (the usual case) is read once and costs no
// writes at all; it is only screened for the line pairs an insertion needs
// (InsertionScreen.h), and followed line by line from its start once one
// turns up. One that needs new lines is converted from where the first
// of them turned up: the piece that holds it is not read again, and only the
// rare calendar whose first insertion point lies beyond its first piece is
// read once more from the start.

#include "app/convert/CalendarScanner.h"
#include "platform/files/ByteBuffer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace dw::convert {

// Where calendar bytes come from: a file read at offsets, or memory.
class CalendarSource {
public:
    virtual ~CalendarSource() = default;
    // Up to `size` bytes at `offset`: the count read (0 past the end) or -errno.
    virtual std::int64_t readAt(char* into, std::size_t size, std::uint64_t offset) = 0;
};

// Where the converted calendar goes, in order.
class CalendarSink {
public:
    virtual ~CalendarSink() = default;
    // Takes the next bytes; answers 0 or the errno of the failure.
    virtual int write(std::string_view bytes) = 0;
};

enum class CalendarVerdict {
    UpToDate,        // nothing to insert
    NeedsConversion, // lines to insert; after convert(), the sink has the whole converted calendar
    HoldsNul,        // a NUL byte: this is no calendar text, and it is never written
    ReadFailed,      // `error` says why
    WriteFailed,     // the sink failed; `error` says why
    Stopped,         // asked to stop part-way
};

struct StreamOutcome {
    CalendarVerdict verdict = CalendarVerdict::UpToDate;
    int error = 0;
};

class CalendarStream {
public:
    // Small enough that a piece, and what it is converted into, are still in
    // the processor's cache when they are written out: on this project's
    // machines 256 KiB converted large calendars a fifth quicker than 1 MiB.
    static constexpr std::size_t defaultPieceBytes = std::size_t(256) << 10;
    static constexpr std::size_t smallestPieceBytes = 16;

    explicit CalendarStream(std::size_t pieceBytes = defaultPieceBytes);

    // Reads the whole calendar and says what it needs. `sizeHint` (the size
    // the file had) only spares memory for small files.
    StreamOutcome inspect(CalendarSource& source, std::uint64_t sizeHint);

    // Puts the converted calendar out to `sink` when it needs new lines.
    // Nothing reaches the sink unless the first insertion point was found;
    // when the answer is not NeedsConversion, whatever the sink took is to be
    // thrown away.
    StreamOutcome convert(CalendarSource& source, std::uint64_t sizeHint, CalendarSink& sink);

    // Asked between pieces of a large calendar; true abandons it (Stopped).
    std::function<bool()> stopRequested;

private:
    enum class Goal { Inspect, Decide, Render };
    StreamOutcome run(Goal goal, CalendarSource& source, CalendarSink* sink, bool reuseHeld);
    StreamOutcome screenHeld(const char*& rest);
    StreamOutcome walkHeld(const char*& rest);
    StreamOutcome carryUnfinishedLine(const char* rest);
    void start(std::uint64_t sizeHint);
    void followLineByLine();
    int fill();
    bool takeLine(const char* begin, const char* end);
    // These answer UpToDate to mean "go on"; anything else ends the walk.
    StreamOutcome takeLongLine(const char* rest);
    int peekByte(std::uint64_t offset, char& byte);
    StreamOutcome finishLongLine(CalendarTag tag, std::uint64_t begin, std::uint64_t end);
    StreamOutcome copyFromSource(std::uint64_t begin, std::uint64_t end);
    bool makeRoom(std::size_t bytes);
    int flushOutput();

    std::size_t pieceBytes_;
    std::size_t capacity_ = 0; // of the input for this calendar
    platform::ByteBuffer input_;
    platform::ByteBuffer output_;

    // The calendar being walked.
    Goal goal_ = Goal::Inspect;
    CalendarSource* source_ = nullptr;
    CalendarSink* sink_ = nullptr;
    CalendarScanState state_;
    bool screening_ = false; // only looking for pairs so far
    CalendarTag screenedLast_ = CalendarTag::Other; // the tag of the last line screened
    bool pairFound_ = false; // by the screen, in a line too long to hold
    std::uint64_t offset_ = 0; // file offset of input_[0]
    std::size_t held_ = 0;     // bytes in input_
    bool atEnd_ = false;       // input_ reaches the end of the file
    bool needsConversion_ = false;
    std::size_t outFill_ = 0;
    int outError_ = 0;
};

// Reads a calendar held in memory.
class MemorySource : public CalendarSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::int64_t readAt(char* into, std::size_t size, std::uint64_t offset) override;

private:
    std::string_view bytes_;
};

} // namespace dw::convert
