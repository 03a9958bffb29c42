// SPDX-License-Identifier: MIT
#include "ProducerTiming.h"

#include "platform/listing/ListingDelivery.h"
#include "platform/namespace/ShellNamespace.h"
#include "shell/controller/StShellController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

ProducerFigures listThroughProducer(const std::string& path)
{
    using namespace dw::platform;
    ProducerFigures figures;
    TStCustomShellController controller;
    ListingRequest request = controller.TreeListingRequest(parsingNameToIdList(path).get());
    request.flags |= SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    // A zero timer fires once per turn of the loop: the gaps between its
    // firings are the stalls a view would show.
    qint64 lastTurn = clock.nsecsElapsed();
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        figures.longestStallSeconds = std::max(figures.longestStallSeconds, (now - lastTurn) / 1e9);
        lastTurn = now;
    });
    turns.start(0);
    std::vector<ChildRecord> kept;
    ListingDelivery delivery(std::move(request), [&](ListingBatch&& batch) {
        if (figures.records == 0 && !batch.records.empty())
            figures.firstBatchSeconds = clock.nsecsElapsed() / 1e9;
        figures.records += static_cast<long>(batch.records.size());
        std::move(batch.records.begin(), batch.records.end(), std::back_inserter(kept));
        if (batch.last) {
            figures.lastBatchSeconds = clock.nsecsElapsed() / 1e9;
            loop.quit();
        }
    });
    loop.exec();
    std::vector<const ChildRecord*> order;
    for (const ChildRecord& record : kept)
        order.push_back(&record);
    std::reverse(order.begin(), order.end());
    IShellFolder& desktop = *controller.GetDesktopFolder();
    QElapsedTimer sorting;
    sorting.start();
    std::sort(order.begin(), order.end(),
              [&](const ChildRecord* a, const ChildRecord* b) { return compareSiblings(*a, *b, desktop) < 0; });
    figures.sortByKeysSeconds = sorting.nsecsElapsed() / 1e9;
    return figures;
}
