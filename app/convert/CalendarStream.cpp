// SPDX-License-Identifier: MIT
#include "app/convert/CalendarStream.h"

#include "app/convert/CalendarRenderer.h"
#include "app/convert/InsertionScreen.h"
#include "app/convert/LineWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

namespace dw::convert {

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// The key of a line too long to hold at once, gathered as its pieces pass:
// its first bytes and its length are all that decide its tag.
class LongLineKey {
public:
    void take(const char* p, const char* end)
    {
        if (!started_) {
            while (p < end && isBlank(*p))
                ++p;
            if (p == end)
                return;
            started_ = true;
        }
        const std::size_t wanted = longestTagText + 1;
        if (head_.size() < wanted)
            head_.append(p, std::min<std::size_t>(wanted - head_.size(), std::size_t(end - p)));
        const char* last = end;
        while (last > p && isBlank(last[-1]))
            --last;
        if (last > p)
            length_ = sinceStart_ + std::uint64_t(last - p);
        sinceStart_ += std::uint64_t(end - p);
    }

    CalendarTag tag() const { return started_ ? classifyKeyStart(head_, length_) : CalendarTag::Other; }

private:
    bool started_ = false;        // a byte above 32 was met
    std::string head_;            // the key's first bytes
    std::uint64_t length_ = 0;    // up to the last byte above 32 so far
    std::uint64_t sinceStart_ = 0; // bytes since the key's first
};

} // namespace

std::int64_t MemorySource::readAt(char* into, std::size_t size, std::uint64_t offset)
{
    if (offset >= bytes_.size())
        return 0;
    const std::size_t count = std::min<std::size_t>(size, bytes_.size() - std::size_t(offset));
    std::memcpy(into, bytes_.data() + offset, count);
    return std::int64_t(count);
}

CalendarStream::CalendarStream(std::size_t pieceBytes)
    : pieceBytes_(std::max(pieceBytes, smallestPieceBytes))
{
}

StreamOutcome CalendarStream::inspect(CalendarSource& source, std::uint64_t sizeHint)
{
    start(sizeHint);
    return run(Goal::Inspect, source, nullptr, false);
}

StreamOutcome CalendarStream::convert(CalendarSource& source, std::uint64_t sizeHint, CalendarSink& sink)
{
    start(sizeHint);
    const StreamOutcome decided = run(Goal::Decide, source, nullptr, false);
    if (decided.verdict != CalendarVerdict::NeedsConversion)
        return decided;
    // The first piece, still held when the first insertion point was found
    // in it (the usual case), is not read again.
    return run(Goal::Render, source, &sink, offset_ == 0);
}

void CalendarStream::start(std::uint64_t sizeHint)
{
    // One byte more than the file holds, so that a single read meets its end.
    const std::uint64_t wanted = std::max<std::uint64_t>(sizeHint + 1, smallestPieceBytes);
    capacity_ = std::size_t(std::min<std::uint64_t>(wanted, pieceBytes_));
    input_.resizeUninitialised(capacity_ + screenSlack);
}

// The screen found a pair: the calendar is followed line by line from its
// start, which is still held when the pair lay in the first piece.
void CalendarStream::followLineByLine()
{
    screening_ = false;
    pairFound_ = false;
    state_ = CalendarScanState();
    if (offset_ != 0) {
        offset_ = 0;
        held_ = 0;
        atEnd_ = false;
    }
}

StreamOutcome CalendarStream::run(Goal goal, CalendarSource& source, CalendarSink* sink, bool reuseHeld)
{
    goal_ = goal;
    source_ = &source;
    sink_ = sink;
    state_ = CalendarScanState();
    needsConversion_ = false;
    outFill_ = 0;
    outError_ = 0;
    // Room for the converted calendar of a full input: a small one is put
    // out with a single write.
    if (goal == Goal::Render)
        output_.resizeUninitialised(2 * capacity_ + 2 * lineGrowth);
    if (!reuseHeld) {
        offset_ = 0;
        held_ = 0;
        atEnd_ = false;
    }
    screening_ = goal != Goal::Render;
    screenedLast_ = CalendarTag::Other;
    pairFound_ = false;
    for (;;) {
        if (!atEnd_)
            if (int error = fill())
                return {CalendarVerdict::ReadFailed, error};
        const char* rest = nullptr;
        const StreamOutcome taken = screening_ ? screenHeld(rest) : walkHeld(rest);
        if (taken.verdict != CalendarVerdict::UpToDate)
            return taken;
        if (!rest)
            continue; // a pair: from the start again, line by line
        if (atEnd_)
            break;
        if (stopRequested && stopRequested())
            return {CalendarVerdict::Stopped, 0};
        const StreamOutcome carried = carryUnfinishedLine(rest);
        if (carried.verdict != CalendarVerdict::UpToDate)
            return carried;
    }
    if (int error = flushOutput())
        return {CalendarVerdict::WriteFailed, error};
    return {needsConversion_ ? CalendarVerdict::NeedsConversion : CalendarVerdict::UpToDate, 0};
}

// These take the complete lines held and set `rest` to where the unfinished
// one starts; they answer UpToDate to mean "go on".
StreamOutcome CalendarStream::screenHeld(const char*& rest)
{
    const ScreenEnd screened = screenLines(input_.data(), input_.data() + held_, atEnd_, screenedLast_);
    if (screened.nul)
        return {CalendarVerdict::HoldsNul, 0};
    if (screened.pair)
        followLineByLine(); // `rest` stays null
    else
        rest = screened.rest;
    return {};
}

StreamOutcome CalendarStream::walkHeld(const char*& rest)
{
    const char* data = input_.data();
    const WalkEnd walked = walkLines<true>(data, data + held_, atEnd_,
                                           [this](const char* begin, const char* end) { return takeLine(begin, end); });
    if (outError_ != 0)
        return {CalendarVerdict::WriteFailed, outError_};
    if (walked.nul)
        return {CalendarVerdict::HoldsNul, 0};
    if (walked.stopped)
        return {CalendarVerdict::NeedsConversion, 0}; // deciding ends at the first insertion point
    rest = walked.rest;
    return {};
}

// Moves the unfinished line at `rest` to the front of the input, or takes
// it as it passes when it is too long to hold.
StreamOutcome CalendarStream::carryUnfinishedLine(const char* rest)
{
    const char* data = input_.data();
    const std::size_t carried = std::size_t(data + held_ - rest);
    if (carried > capacity_ / 2) {
        const StreamOutcome outcome = takeLongLine(rest);
        if (pairFound_)
            followLineByLine();
        return outcome;
    }
    std::memmove(input_.data(), rest, carried);
    offset_ += std::uint64_t(rest - data);
    held_ = carried;
    return {};
}

int CalendarStream::fill()
{
    const std::size_t asked = capacity_ - held_;
    const std::int64_t got = source_->readAt(input_.data() + held_, asked, offset_ + held_);
    if (got < 0)
        return int(-got);
    held_ += std::size_t(got);
    atEnd_ = std::size_t(got) < asked;
    // The screen reads a little past what is held; it finds zeros there.
    std::memset(input_.data() + held_, 0, screenSlack);
    return 0;
}

bool CalendarStream::takeLine(const char* begin, const char* end)
{
    InsertedLine inserted;
    const bool insert = state_.examine(classifyLine(begin, end), inserted);
    if (insert) {
        needsConversion_ = true;
        if (goal_ == Goal::Decide)
            return false;
    }
    if (goal_ != Goal::Render)
        return true;
    if (!makeRoom(std::size_t(end - begin) + lineGrowth))
        return false;
    char* out = output_.data() + outFill_;
    if (insert)
        out = putInsertedLine(out, inserted);
    out = putLine(out, begin, end);
    outFill_ = std::size_t(out - output_.data());
    return true;
}

// A line that fills more than half the input: its key is gathered as it
// passes, and its bytes are copied from the source once its end is known,
// so no line, however long, has to be held.
StreamOutcome CalendarStream::takeLongLine(const char* rest)
{
    LongLineKey key;
    const std::uint64_t lineBegin = offset_ + std::uint64_t(rest - input_.data());
    const char* from = rest;
    for (;;) {
        const char* end = input_.data() + held_;
        const char* stop = findTerminator<true>(from, end);
        key.take(from, stop);
        const std::uint64_t stopOffset = offset_ + std::uint64_t(stop - input_.data());
        if (stop < end && *stop == 0)
            return {CalendarVerdict::HoldsNul, 0};
        if (stop < end || atEnd_) {
            std::uint64_t next = stopOffset;
            if (stop < end) {
                char after = 0;
                if (stop + 1 < end)
                    after = stop[1];
                else if (int error = peekByte(stopOffset + 1, after))
                    return {CalendarVerdict::ReadFailed, error};
                next += (*stop == '\r' && after == '\n') ? 2 : 1;
            }
            const StreamOutcome finished = finishLongLine(key.tag(), lineBegin, stopOffset);
            if (finished.verdict != CalendarVerdict::UpToDate)
                return finished;
            // Keep what follows the line at the front of the input.
            const std::size_t consumed = std::size_t(std::min<std::uint64_t>(next - offset_, held_));
            std::memmove(input_.data(), input_.data() + consumed, held_ - consumed);
            held_ -= consumed;
            offset_ = next;
            return {};
        }
        if (stopRequested && stopRequested())
            return {CalendarVerdict::Stopped, 0};
        offset_ += held_;
        held_ = 0;
        if (int error = fill())
            return {CalendarVerdict::ReadFailed, error};
        from = input_.data();
    }
}

// One byte past the input, to tell a CR LF from a CR alone.
int CalendarStream::peekByte(std::uint64_t offset, char& byte)
{
    const std::int64_t got = source_->readAt(&byte, 1, offset);
    if (got < 0)
        return int(-got);
    if (got == 0)
        byte = 0; // the end: the CR stands alone
    return 0;
}

StreamOutcome CalendarStream::finishLongLine(CalendarTag tag, std::uint64_t begin, std::uint64_t end)
{
    if (screening_) {
        pairFound_ = formsInsertionPair(screenedLast_, tag);
        screenedLast_ = tag;
        return {};
    }
    InsertedLine inserted;
    const bool insert = state_.examine(tag, inserted);
    if (insert) {
        needsConversion_ = true;
        if (goal_ == Goal::Decide)
            return {CalendarVerdict::NeedsConversion, 0};
    }
    if (goal_ != Goal::Render)
        return {};
    if (insert) {
        if (!makeRoom(lineGrowth))
            return {CalendarVerdict::WriteFailed, outError_};
        outFill_ = std::size_t(putInsertedLine(output_.data() + outFill_, inserted) - output_.data());
    }
    if (int error = flushOutput())
        return {CalendarVerdict::WriteFailed, error};
    const StreamOutcome copied = copyFromSource(begin, end);
    if (copied.verdict != CalendarVerdict::UpToDate)
        return copied;
    output_.data()[0] = '\r';
    output_.data()[1] = '\n';
    outFill_ = 2;
    return {};
}

// Copies source bytes [begin, end) to the sink through the output buffer,
// which is empty when this is called. A short read means the file shrank
// under us: EAGAIN, as for any calendar that changes while it is read.
StreamOutcome CalendarStream::copyFromSource(std::uint64_t begin, std::uint64_t end)
{
    const std::size_t room = output_.size();
    while (begin < end) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(room, end - begin));
        const std::int64_t got = source_->readAt(output_.data(), want, begin);
        if (got < 0)
            return {CalendarVerdict::ReadFailed, int(-got)};
        if (std::size_t(got) != want)
            return {CalendarVerdict::ReadFailed, EAGAIN};
        if (int error = sink_->write({output_.data(), want}))
            return {CalendarVerdict::WriteFailed, error};
        begin += want;
    }
    return {};
}

bool CalendarStream::makeRoom(std::size_t bytes)
{
    if (outFill_ + bytes <= output_.size())
        return true;
    outError_ = flushOutput();
    return outError_ == 0;
}

int CalendarStream::flushOutput()
{
    if (outFill_ == 0)
        return 0;
    const int error = sink_->write({output_.data(), outFill_});
    outFill_ = 0;
    return error;
}

} // namespace dw::convert
