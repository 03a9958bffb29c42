// SPDX-License-Identifier: MIT
#pragma once
// The views inside a file list: a table for the details style and an icon
// view for the others, over one model and one selection. Both hand what
// the list decides (keys, the menu, drags, drops, which rows may be
// renamed, the text over an empty view) to their host.

#include <QAbstractItemView>
#include <QDragEnterEvent>
#include <QListView>
#include <QPainter>
#include <QTreeView>

class QContextMenuEvent;
class QKeyEvent;

class IStListViewHost {
public:
    virtual ~IStListViewHost() = default;
    // True when the list took the key.
    virtual bool ListKeyPress(QAbstractItemView& view, QKeyEvent* event) = 0;
    virtual void ListContextMenu(QAbstractItemView& view, QContextMenuEvent* event) = 0;
    virtual void ListStartDrag(QAbstractItemView& view) = 0;
    virtual void ListDragEnter(QAbstractItemView& view, QDragEnterEvent* event) = 0;
    virtual void ListDragMove(QAbstractItemView& view, QDragMoveEvent* event) = 0;
    virtual void ListDragLeave(QAbstractItemView& view, QDragLeaveEvent* event) = 0;
    virtual void ListDrop(QAbstractItemView& view, QDropEvent* event) = 0;
    virtual bool ListMayEdit(const QModelIndex& index) const = 0;
    // Said in the middle of a view that has no rows ("Loading…", why the
    // folder could not be read); empty for nothing.
    virtual QString ListStatusText() const = 0;
};

template <typename Base>
class TStListViewPart : public Base {
public:
    TStListViewPart(IStListViewHost& host, QWidget* parent) : Base(parent), m_host(host) {}

    using Base::edit;
    using Base::setState;
    using Base::state;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!m_host.ListKeyPress(*this, event))
            Base::keyPressEvent(event);
    }
    void contextMenuEvent(QContextMenuEvent* event) override { m_host.ListContextMenu(*this, event); }
    // The host drags the whole selection itself.
    void startDrag(Qt::DropActions) override { m_host.ListStartDrag(*this); }
    // The view's own handling scrolls near the edges during a drag; the
    // host then decides whether and where the drop goes.
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        m_host.ListDragEnter(*this, event);
        if (event->isAccepted())
            this->setState(QAbstractItemView::DraggingState);
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        Base::dragMoveEvent(event);
        m_host.ListDragMove(*this, event);
    }
    void dragLeaveEvent(QDragLeaveEvent* event) override
    {
        Base::dragLeaveEvent(event);
        m_host.ListDragLeave(*this, event);
    }
    void dropEvent(QDropEvent* event) override
    {
        this->stopAutoScroll();
        this->setState(QAbstractItemView::NoState);
        m_host.ListDrop(*this, event);
    }
    bool edit(const QModelIndex& index, QAbstractItemView::EditTrigger trigger, QEvent* event) override
    {
        if (!m_host.ListMayEdit(index))
            return false;
        return Base::edit(index, trigger, event);
    }
    void paintEvent(QPaintEvent* event) override
    {
        Base::paintEvent(event);
        const QString text = m_host.ListStatusText();
        if (text.isEmpty() || !this->model() || this->model()->rowCount() != 0)
            return;
        QPainter painter(this->viewport());
        painter.setPen(this->palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(this->viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         text);
    }

private:
    IStListViewHost& m_host;
};

// The details view: a table with a sortable header and no expanders.
using TStListDetailsView = TStListViewPart<QTreeView>;
// The list and icon styles.
using TStListIconView = TStListViewPart<QListView>;
