// SPDX-License-Identifier: MIT
#include "app/convert/CalendarConverter.h"

#include "app/convert/CalendarRenderer.h"

namespace dw::convert {

bool CalendarConverter::convert(std::string_view text)
{
    summary_ = scanCalendar(text, insertions_);
    if (insertions_.empty()) {
        output_.clear();
        return false;
    }
    renderCalendar(text, summary_, insertions_, output_);
    return true;
}

} // namespace dw::convert
