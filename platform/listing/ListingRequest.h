// SPDX-License-Identifier: MIT
#pragma once
// What a view asks of a listing, and what it gets back in batches.

#include "platform/listing/ChildRecord.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace dw::platform {

struct ListingRequest {
    SharedIdList folder;        // absolute list of the folder (empty list: the desktop)
    ShellFolderPtr boundFolder; // the folder itself when the caller has it; else bound on the worker
    ShcontfFlags flags = SHCONTF_FOLDERS;
    SfgaoFlags attributes = 0;  // further bits each record answers
    bool probeChildren = false; // decide each record's hasChildren as a tree does
    std::size_t probeLimit = static_cast<std::size_t>(-1); // see ListingOptions
    bool fileFacts = false;     // size, time and find attributes of file-system children
    bool icons = true;          // icon, open icon and overlay indexes
    bool typeNames = false;     // each file's type from its name (ChildRecord::typeIndex)
    bool sortedBatches = false; // each batch's records in their sort keys' order, when they have keys
    // A batch goes out when it holds this many records, or when this much
    // time passed since the last one, whichever comes first.
    std::size_t batchSize = 256;
    std::chrono::milliseconds batchInterval{50};
};

struct ListingBatch {
    std::vector<ChildRecord> records;
    bool last = false;          // no batch follows
    // With the last batch: how the listing ended. A folder that could not
    // be read says why ("Permission denied").
    HResult result = S_OK;
    int error = 0;              // errno behind a failure, when known
    std::string errorText;
};

// The text a view shows for a listing that failed.
std::string listingErrorText(HResult result, int error);

} // namespace dw::platform
