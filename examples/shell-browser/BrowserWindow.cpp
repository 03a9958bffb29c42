// SPDX-License-Identifier: MIT
#include "BrowserWindow.h"

#include <shell/items/StShellFolder.h>
#include <shell/list/StShellListModel.h>

#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

BrowserWindow::BrowserWindow(QWidget* parent)
    : QMainWindow(parent)
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_path = new QLabel(central);
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* panes = new QSplitter(central);
    m_tree = new TStShellTreeView(panes);
    m_list = new TStShellListView(panes);
    panes->setStretchFactor(1, 3);
    panes->setSizes({260, 740});
    layout->addWidget(m_path);
    layout->addWidget(panes, 1);
    setCentralWidget(central);
    m_itemCount = new QLabel(this);
    statusBar()->addWidget(m_itemCount);

    // The link: the list shows the folder selected in the tree, and the tree
    // selects a folder opened in the list. The two share one controller.
    m_tree->SetListView(m_list);
    m_list->OnFolderChanged = [this](QObject*, TStShellFolder*) { ShowPath(); };

    // Rows arrive in batches while a folder is read: count them as they come.
    const TStShellListModel* model = &m_list->Model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &BrowserWindow::ShowItemCount);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &BrowserWindow::ShowItemCount);
    connect(model, &QAbstractItemModel::modelReset, this, &BrowserWindow::ShowItemCount);
    resize(1000, 640);
}

void BrowserWindow::Open(const std::string& path)
{
    // A path that does not name a folder raises the library's exception.
    m_tree->OpenAtPath(path);
}

void BrowserWindow::ShowPath()
{
    const std::string path = m_list->GetPath();
    m_path->setText(QString::fromStdString(path));
    setWindowTitle(m_list->GetFolder() ? QString::fromStdString(m_list->GetFolder()->GetDisplayName())
                                       : QStringLiteral("Shell browser"));
}

void BrowserWindow::ShowItemCount()
{
    const int count = m_list->GetItemCount();
    m_itemCount->setText(count == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(count));
}
