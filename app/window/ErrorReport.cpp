// SPDX-License-Identifier: MIT
#include "app/window/ErrorReport.h"

#include "base/application/SsExceptionBoundary.h"

#include <QCoreApplication>

#include <iostream>
#include <stdexcept>

namespace dw::window {

void ReportError(std::exception_ptr error)
{
    if (auto* boundary = dynamic_cast<TSsExceptionBoundary*>(QCoreApplication::instance())) {
        boundary->HandleException(error);
        return;
    }
    qWarning("%s", qPrintable(TSsExceptionBoundary::ExceptionText(error)));
}

void ReportStartupFailure(const std::string& message)
{
    std::string text = message;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    std::cerr << text << '\n' << std::flush;
    ReportError(std::make_exception_ptr(std::runtime_error(text)));
}

} // namespace dw::window
