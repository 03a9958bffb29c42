// SPDX-License-Identifier: MIT
#pragma once
// A file list over the fake namespace, shown offscreen: a folder of files
// and folders with sizes, times and attributes of their own.

#include "platform/changes/ChangeNotify.h"
#include "platform/fakenamespace/FakeNamespace.h"
#include "shell/list/StShellListModel.h"
#include "shell/list/StShellListView.h"
#include "tests/support/qt/EventLoopWaiting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace list_testing {

using namespace dw::platform;
using namespace dw::platform::fake;

class FakeListTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeNamespace> ns = std::make_shared<FakeNamespace>();
    ScopedShellNamespace scope{ns};
    FakeNode& home = ns->addFolder(ns->desktop(), "Home", "/home/ann");
    FakeNode& calendars = ns->addFolder(home, "Calendars", "/home/ann/Calendars");
    std::unique_ptr<TStShellListView> list;

    FakeNode& file(FakeNode& folder, const std::string& name, std::uint64_t size, std::int64_t time = 1700000000)
    {
        FakeNode& node = ns->addFile(folder, name, folder.parsingName + "/" + name, size);
        node.findData->lastWriteSeconds = time;
        node.attributes |= SFGAO_CANRENAME | SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANDELETE;
        return node;
    }

    TStShellListView& makeList()
    {
        list = std::make_unique<TStShellListView>();
        list->resize(600, 400);
        list->show();
        return *list;
    }

    void show(const FakeNode& folder)
    {
        list->SetPath(folder.parsingName);
        waitWhileLoading();
    }

    void waitWhileLoading()
    {
        dw::test::processEventsUntil([this] { return list->GetFolder() && !list->IsLoading(); }, 5000, 0);
    }

    // A column's texts, row by row, in the order shown.
    std::vector<std::string> column(int which = lcName) const
    {
        std::vector<std::string> texts;
        const TStShellListModel& model = list->Model();
        for (int row = 0; row < model.rowCount(); ++row)
            texts.push_back(model.index(row, which).data().toString().toStdString());
        return texts;
    }

    std::string cell(const std::string& name, int which) const
    {
        const TStShellListModel& model = list->Model();
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.index(row, lcName).data().toString().toStdString() == name)
                return model.index(row, which).data().toString().toStdString();
        }
        return "<none>";
    }

    // Tells the change notification what changed, as the namespace would.
    void report(long event, const FakeNode& item, const FakeNode* second = nullptr)
    {
        const IdListPtr first = ns->absoluteOf(item);
        const IdListPtr other = second ? ns->absoluteOf(*second) : nullptr;
        SHChangeNotify(event, 0, first.get(), other.get());
    }
    void settle(qint64 ms = 60) { dw::test::processEventsUntil([] { return false; }, 0, ms); }
};

} // namespace list_testing
