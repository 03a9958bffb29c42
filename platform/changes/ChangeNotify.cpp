// SPDX-License-Identifier: MIT
#include "platform/changes/ChangeNotify.h"

#include "platform/changes/ChangeRegistry.h"
#include "platform/changes/ChangeReportEvent.h"
#include "platform/changes/RecentShellReports.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace dw::platform {
namespace {

struct Registration {
    WindowHandle window = 0;
    int sources = 0;
    long events = 0;
    unsigned message = 0;
    std::vector<RegisteredRoot> entries;

    bool entriesCover(const ItemIdList* item) const
    {
        if (item == nullptr)
            return false;
        return std::any_of(entries.begin(), entries.end(), [item](const RegisteredRoot& entry) {
            return entry.recursive ? IdListCovers(entry.pidl.get(), item)
                                   : ILIsEqual(entry.pidl.get(), item) || IdListIsParentOf(entry.pidl.get(), item);
        });
    }

    bool wants(int sourceLevel, long eventId, const ItemIdList* item1, const ItemIdList* item2) const
    {
        if ((sources & sourceLevel) == 0 || (events & eventId) == 0)
            return false;
        if ((eventId & SHCNE_UNBOUNDEVENTS) != 0 || (item1 == nullptr && item2 == nullptr))
            return true;
        return entriesCover(item1) || entriesCover(item2);
    }
};

struct Registry {
    std::mutex lock;
    std::map<unsigned long, Registration> registrations;
    unsigned long lastId = 0;
    RecentShellReports recentShellReports;
    std::function<void()> observer;

    // A report posted for a registration that has ended since is still
    // delivered when its window registered again afterwards (a component
    // changing a setting re-registers) and the new registration wants it:
    // the window had no copy of its own, as the registration did not exist
    // when the report was posted.
    bool successorWants(const ChangeReportTicket& ticket) const
    {
        for (auto it = registrations.upper_bound(ticket.lastIdAtPosting); it != registrations.end(); ++it) {
            const Registration& successor = it->second;
            if (successor.window == ticket.window && successor.message == ticket.message
                && successor.wants(ticket.sourceLevel, ticket.eventId, ticket.item1, ticket.item2))
                return true;
        }
        return false;
    }
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

void notifyObserver()
{
    std::function<void()> observer;
    {
        auto& reg = registry();
        std::lock_guard guard(reg.lock);
        observer = reg.observer;
    }
    if (observer)
        observer();
}

IdListPtr desktopIdList()
{
    IdListPtr empty(ILAlloc(2));
    if (empty)
        reinterpret_cast<unsigned char*>(empty.get())[0] = reinterpret_cast<unsigned char*>(empty.get())[1] = 0;
    return empty;
}

std::vector<RegisteredRoot> copyEntries(int entryCount, const SHChangeNotifyEntry* entries)
{
    std::vector<RegisteredRoot> copies;
    copies.reserve(static_cast<std::size_t>(entryCount));
    for (int i = 0; i < entryCount; ++i) {
        // A null list stands for the desktop, which is the empty list.
        IdListPtr pidl = entries[i].pidl != nullptr ? cloneIdList(entries[i].pidl) : desktopIdList();
        copies.push_back({std::move(pidl), entries[i].fRecursive});
    }
    return copies;
}

} // namespace

unsigned long SHChangeNotifyRegister(MessageWindow* window, int sources, long events, unsigned message,
                                     int entryCount, const SHChangeNotifyEntry* entries)
{
    if (window == nullptr || entryCount <= 0 || entries == nullptr || events == 0
        || (sources & (SHCNRF_InterruptLevel | SHCNRF_ShellLevel)) == 0)
        return 0;
    Registration registration;
    registration.window = window->handle();
    registration.sources = sources;
    registration.events = events;
    registration.message = message;
    registration.entries = copyEntries(entryCount, entries);
    unsigned long id = 0;
    {
        auto& reg = registry();
        std::lock_guard guard(reg.lock);
        id = ++reg.lastId;
        reg.registrations.emplace(id, std::move(registration));
    }
    notifyObserver();
    return id;
}

bool SHChangeNotifyDeregister(unsigned long id)
{
    {
        auto& reg = registry();
        std::lock_guard guard(reg.lock);
        if (reg.registrations.erase(id) == 0)
            return false;
    }
    notifyObserver();
    return true;
}

bool IsReportStillWanted(const ChangeReportTicket& ticket)
{
    auto& reg = registry();
    std::lock_guard guard(reg.lock);
    return reg.registrations.count(ticket.registrationId) != 0 || reg.successorWants(ticket);
}

void SHChangeNotify(long eventId, unsigned flags, const ItemIdList* item1, const ItemIdList* item2)
{
    const unsigned type = flags & SHCNF_TYPE;
    if (type != SHCNF_IDLIST && type != SHCNF_DWORD)
        return;
    DeliverChangeReport(SHCNRF_ShellLevel, eventId, item1, item2);
}

void DeliverChangeReport(int sourceLevel, long eventId, const ItemIdList* item1, const ItemIdList* item2)
{
    auto& reg = registry();
    std::lock_guard guard(reg.lock);
    if (sourceLevel == SHCNRF_ShellLevel)
        reg.recentShellReports.remember(eventId, item1, item2);
    else if (reg.recentShellReports.takeMatch(eventId, item1, item2))
        return;
    std::vector<unsigned long> windowsGone;
    for (const auto& [id, registration] : reg.registrations) {
        if (!registration.wants(sourceLevel, eventId, item1, item2))
            continue;
        const ChangeReportTicket ticket{id, reg.lastId, registration.window, registration.message, sourceLevel, eventId,
                                        item1, item2};
        auto report = std::make_unique<ChangeReportEvent>(ticket);
        if (!PostMessageEvent(registration.window, std::move(report)))
            windowsGone.push_back(id);
    }
    // A registration whose window is gone can never deliver again.
    for (unsigned long id : windowsGone)
        reg.registrations.erase(id);
}

std::vector<RegisteredRoot> RegisteredRoots(int sourceLevel)
{
    std::vector<RegisteredRoot> roots;
    auto& reg = registry();
    std::lock_guard guard(reg.lock);
    for (const auto& [id, registration] : reg.registrations) {
        if ((registration.sources & sourceLevel) == 0)
            continue;
        for (const auto& entry : registration.entries)
            roots.push_back({cloneIdList(entry.pidl.get()), entry.recursive});
    }
    return roots;
}

void SetRegistrationObserver(std::function<void()> observer)
{
    auto& reg = registry();
    std::lock_guard guard(reg.lock);
    reg.observer = std::move(observer);
}

std::size_t RegistrationCount()
{
    auto& reg = registry();
    std::lock_guard guard(reg.lock);
    return reg.registrations.size();
}

} // namespace dw::platform
