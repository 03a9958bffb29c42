// SPDX-License-Identifier: MIT
#pragma once

namespace dw::platform {

enum class AttributeMatch {
    Exact,       // the two files carry the same attributes now
    NotPossible, // one could not be set or taken away (`error` says why)
    Failed,      // the original's could not be read
};

struct AttributeOutcome {
    AttributeMatch result = AttributeMatch::Exact;
    int error = 0;
};

// Gives `to` exactly the extended attributes of `from`, ACLs included: those
// `from` lacks are taken away (a default ACL of the folder, for one, which a
// new file picks up), the others set where their values differ.
AttributeOutcome matchExtendedAttributes(int from, int to);

} // namespace dw::platform
