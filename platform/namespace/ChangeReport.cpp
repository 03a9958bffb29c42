// SPDX-License-Identifier: MIT
#include "platform/namespace/ChangeReport.h"

#include "platform/changes/ChangeNotify.h"

#include <mutex>

namespace dw::platform {

namespace {

std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

NamespaceChangeSink& sink()
{
    static NamespaceChangeSink current = [](long eventId, const ItemIdList* first, const ItemIdList* second) {
        SHChangeNotify(eventId, SHCNF_IDLIST, first, second);
    };
    return current;
}

} // namespace

void reportNamespaceChange(long eventId, const ItemIdList* first, const ItemIdList* second)
{
    NamespaceChangeSink current;
    {
        std::lock_guard lock(sinkMutex());
        current = sink();
    }
    if (current)
        current(eventId, first, second);
}

NamespaceChangeSink setNamespaceChangeSink(NamespaceChangeSink newSink)
{
    std::lock_guard lock(sinkMutex());
    NamespaceChangeSink previous = std::move(sink());
    sink() = std::move(newSink);
    return previous;
}

} // namespace dw::platform
