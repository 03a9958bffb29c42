// SPDX-License-Identifier: MIT
#pragma once
// A sunken panel showing one line of text: the current folder, then how
// many of its calendars need converting. A path too long for the panel is
// shortened in its middle, so that both its start and the count stay in
// view; the whole text is the tooltip.

#include <QFrame>
#include <QString>

namespace dw::window {

class TStatusPanel : public QFrame {
public:
    explicit TStatusPanel(QWidget* parent = nullptr);

    // `path` is shortened first when the text does not fit; `suffix` is
    // shown after it as it is.
    void SetCaption(const QString& path, const QString& suffix);
    QString Caption() const { return m_path + m_suffix; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_path;
    QString m_suffix;
};

} // namespace dw::window
