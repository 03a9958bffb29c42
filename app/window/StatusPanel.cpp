// SPDX-License-Identifier: MIT
#include "app/window/StatusPanel.h"

#include <QPainter>

namespace dw::window {

namespace {

constexpr int kTextMargin = 6;

} // namespace

TStatusPanel::TStatusPanel(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void TStatusPanel::SetCaption(const QString& path, const QString& suffix)
{
    if (path == m_path && suffix == m_suffix)
        return;
    m_path = path;
    m_suffix = suffix;
    setToolTip(Caption());
    update();
}

void TStatusPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QFontMetrics metrics = fontMetrics();
    const int pathRoom = std::max(0, area.width() - metrics.horizontalAdvance(m_suffix));
    const QString text = metrics.elidedText(m_path, Qt::ElideMiddle, pathRoom) + m_suffix;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     metrics.elidedText(text, Qt::ElideRight, area.width()));
}

} // namespace dw::window
