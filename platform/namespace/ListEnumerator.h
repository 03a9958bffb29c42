// SPDX-License-Identifier: MIT
#pragma once
// An enumerator over ids known in advance (the children of virtual folders).

#include "platform/namespace/ShellFolder.h"

#include <vector>

namespace dw::platform {

class ListEnumerator : public IEnumIdList {
public:
    explicit ListEnumerator(std::vector<IdListPtr> children) : children_(std::move(children)) {}

    HResult Next(IdListPtr& child) override
    {
        if (next_ >= children_.size()) {
            child.reset();
            return S_FALSE;
        }
        child = std::move(children_[next_++]);
        return S_OK;
    }

private:
    std::vector<IdListPtr> children_;
    std::size_t next_ = 0;
};

} // namespace dw::platform
