// SPDX-License-Identifier: MIT
#include "bench/app/ListFrames.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kGrabIntervalMs = 15;

// Every pixel alike: the list's background and nothing on it.
bool IsBlank(const QImage& image)
{
    if (image.isNull())
        return false;
    const QRgb background = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] != background)
                return false;
    }
    return true;
}

QImage GrabFromScreen(QWidget& widget)
{
    QWidget* window = widget.window();
    const QPoint at = widget.mapTo(window, QPoint(0, 0));
    QScreen* screen = window->screen();
    return screen->grabWindow(window->winId(), at.x(), at.y(), widget.width(), widget.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

FrameCount ListFrames::Watch(QWidget& list, const std::function<int()>& rows, const std::function<bool()>& done)
{
    FrameCount count;
    QTimer grabber;
    QObject::connect(&grabber, &QTimer::timeout, [&] {
        if (rows() == 0)
            return; // nothing to show yet: an empty list is no blink
        ++count.frames;
        if (IsBlank(GrabFromScreen(list)))
            ++count.blank;
    });
    grabber.start(kGrabIntervalMs);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return count;
}
