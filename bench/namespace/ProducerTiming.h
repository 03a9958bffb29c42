// SPDX-License-Identifier: MIT
#pragma once
// A folder listed through the producer as a view lists it: batches arrive
// through the event loop of this thread, which meanwhile must keep turning.

#include <string>

struct ProducerFigures {
    double firstBatchSeconds = 0; // from the request to the first records
    double lastBatchSeconds = 0;  // to the last batch
    double longestStallSeconds = 0; // longest time between two turns of the event loop
    long records = 0;
    double sortByKeysSeconds = 0; // the records sorted by their keys, as a view sorts them
};

ProducerFigures listThroughProducer(const std::string& path);
