// SPDX-License-Identifier: MIT
// The data of a drag out of a view, both ways, and what a drop reads from
// the data of other programs.
#include "NamespaceFixture.h"

#include "platform/dragdata/IdListArray.h"
#include "platform/fakenamespace/FakeNamespace.h"
#include "platform/fileops/DropTarget.h"
#include "platform/namespace/IdRecord.h"
#include "shell/controller/StShellController.h"
#include "shell/dragdrop/StDataObject.h"
#include "shell/dragdrop/StDragData.h"
#include "shell/dragdrop/StDropEffects.h"
#include "shell/dragdrop/StDropSource.h"
#include "shell/items/StShellItem.h"

#include <QDrag>

#include <gtest/gtest.h>

using namespace dw::platform;

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kText = QStringLiteral("text/plain");

std::string bytesOf(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::unique_ptr<TStShellItem> itemAt(const std::string& parsingName, TStCustomShellController& controller)
{
    const IdListPtr list = parsingNameToIdList(parsingName);
    EXPECT_TRUE(list) << parsingName;
    return std::make_unique<TStShellItem>(list.get(), &controller);
}

std::unique_ptr<QMimeData> dataWith(const QString& format, const std::string& bytes)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(format, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return data;
}

class DataObject : public ::testing::Test {
protected:
    dw::platform::testing::TempNamespace ns;
    TStCustomShellController controller;
};

} // namespace

TEST_F(DataObject, CarriesTheItemAsIdListArrayUriListAndTextWithItsExactBytes)
{
    const std::string path = ns.makeFolder("home/Cal \xE9t\xE9");
    const auto item = itemAt(path, controller);
    const TStDataObject data(*item);
    EXPECT_TRUE(data.formats().contains(TStDataObject::IdListArrayMimeType()));
    EXPECT_EQ(TStDataObject::IdListArrayMimeType(),
              "application/x-dw-clipboard-format;value=\"Shell IDList Array\"");

    const auto array = decodeIdListArray(bytesOf(data.data(TStDataObject::IdListArrayMimeType())),
                                         validateNamespaceIdList);
    ASSERT_TRUE(array);
    EXPECT_TRUE(ILIsEqual(array->parent.get(), parsingNameToIdList(ns.home).get()));
    ASSERT_EQ(array->children.size(), 1u);
    EXPECT_TRUE(ILIsEqual(array->absoluteLists()[0].get(), item->GetAbsoluteIdList()));
    EXPECT_NE(data.GetIdLists()[0].get(), item->GetAbsoluteIdList()); // a copy of its own

    EXPECT_EQ(bytesOf(data.data(kUriList)), "file://" + ns.home + "/Cal%20%E9t%E9\r\n");
    EXPECT_EQ(bytesOf(data.data(kText)), path);
    EXPECT_EQ(DroppedItemsOf(data).paths, std::vector<std::string>{path});
}

TEST_F(DataObject, SeveralItemsAndItemsOutsideTheFileSystem)
{
    const std::string first = ns.makeFile("home/a.dw2");
    ns.makeFolder("home/Cal");
    const std::string second = ns.makeFile("home/Cal/b.dw2");
    const auto a = itemAt(first, controller);
    const auto b = itemAt(second, controller);
    const TStDataObject both({a.get(), b.get()});
    EXPECT_EQ(DroppedItemsOf(both).paths, (std::vector<std::string>{first, second}));
    EXPECT_EQ(bytesOf(both.data(kText)), first + "\n" + second);

    // Computer has no path: other programs get nothing, a drop refuses it.
    const auto computer = itemAt("computer:///", controller);
    const TStDataObject mixed({a.get(), computer.get()});
    EXPECT_FALSE(mixed.hasFormat(kUriList));
    EXPECT_FALSE(mixed.hasFormat(kText));
    EXPECT_TRUE(mixed.hasFormat(TStDataObject::IdListArrayMimeType()));
    EXPECT_EQ(DroppedItemsOf(mixed).error, "Only files and folders can be dropped here.");
}

TEST_F(DataObject, DataFromOtherProgramsIsTakenOnlyWhenWellFormedAndLocal)
{
    const std::string path = ns.makeFile("home/a.dw2");
    EXPECT_EQ(DroppedItemsOf(*dataWith(kUriList, "file://" + path + "\r\n")).paths, std::vector<std::string>{path});

    const TStDroppedItems web = DroppedItemsOf(*dataWith(kUriList, "https://example.org/a.dw2\r\n"));
    EXPECT_TRUE(web.paths.empty());
    EXPECT_EQ(web.error, "Only files and folders of this computer can be dropped here.");

    // A forged id-list array wins over a good uri-list beside it, and is refused.
    const auto forged = dataWith(TStDataObject::IdListArrayMimeType(), std::string("\x01\x00\x00\x00\xFF", 5));
    forged->setData(kUriList, QByteArray::fromStdString("file://" + path));
    const TStDroppedItems refused = DroppedItemsOf(*forged);
    EXPECT_FALSE(refused.IsValid());
    EXPECT_EQ(refused.error, "The dragged data has an impossible size.");

    EXPECT_FALSE(DroppedItemsOf(*dataWith(kText, path)).IsValid()); // plain text names nothing to drop
}

TEST_F(DataObject, ADroppedIdListIsNamedFromItsVolumeThenEntryByEntry)
{
    // Items of the desktop folder and of the home folder, one of them deep,
    // under the desktop itself as the parent.
    const std::string onDesktop = ns.makeFile("home/Desktop/note.dw2");
    std::string deepRelative = "home";
    std::string deep;
    for (int level = 0; level < 40; ++level)
        deep = ns.makeFolder(deepRelative += "/level " + std::to_string(level));
    const IdListPtr first = parsingNameToIdList(onDesktop);
    const IdListPtr second = parsingNameToIdList(deep);
    ASSERT_TRUE(first && second);
    const std::string block = encodeIdListArray(nullptr, {first.get(), second.get()});
    const auto data = dataWith(TStDataObject::IdListArrayMimeType(), block);
    EXPECT_EQ(DroppedItemsOf(*data).paths, (std::vector<std::string>{onDesktop, deep}));

    // Nothing but entries lies below an entry: Computer there names nothing.
    const IdListPtr computer = makeRecord(IdKind::Computer);
    const IdListPtr strange(ILCombine(second.get(), computer.get()));
    const auto forged = dataWith(TStDataObject::IdListArrayMimeType(), encodeIdListArray(nullptr, {strange.get()}));
    EXPECT_EQ(DroppedItemsOf(*forged).error, "Only files and folders can be dropped here.");
}

TEST(DropSource, AllowsWhatTheItemsAttributesAllowAndCarriesItInTheDrag)
{
    const auto ns = std::make_shared<fake::FakeNamespace>();
    ScopedShellNamespace scope(ns);
    TStCustomShellController controller;
    fake::FakeNode& folder = ns->addFolder(ns->desktop(), "Cal", "/cal");
    fake::FakeNode& file = ns->addFile(folder, "a.dw2", "/cal/a.dw2");
    file.attributes |= SFGAO_CANCOPY | SFGAO_CANLINK;
    TStShellItem item(ns->absoluteOf(file).get(), &controller);
    TStDropSource source(item);
    EXPECT_EQ(source.GetAllowedEffects(), DROPEFFECT_COPY | DROPEFFECT_LINK);
    EXPECT_FALSE(source.GetDragImage().isNull());

    QObject owner;
    const std::unique_ptr<QDrag> drag = source.MakeDrag(&owner);
    ASSERT_TRUE(drag);
    const auto* data = qobject_cast<TStDataObject*>(drag->mimeData());
    ASSERT_TRUE(data);
    EXPECT_TRUE(ILIsEqual(data->GetIdLists().at(0).get(), item.GetAbsoluteIdList()));
    EXPECT_FALSE(drag->pixmap().isNull());

    file.attributes |= SFGAO_CANMOVE;
    EXPECT_EQ(TStDropSource(item).GetAllowedEffects(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    file.attributes &= ~(SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK);
    TStDropSource fixed(item);
    EXPECT_EQ(fixed.GetAllowedEffects(), DROPEFFECT_NONE);
    EXPECT_EQ(fixed.MakeDrag(&owner), nullptr);
    EXPECT_EQ(fixed.Execute(&owner), DROPEFFECT_NONE); // no drag loop at all
}

TEST(DropEffects, QtActionsKeysAndEffects)
{
    const unsigned all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(DropEffectsOf(DropActionsOf(all)), all);
    EXPECT_EQ(DropActionsOf(DROPEFFECT_MOVE), Qt::MoveAction);
    EXPECT_EQ(DropActionOf(DROPEFFECT_LINK), Qt::LinkAction);
    EXPECT_EQ(DropActionOf(DROPEFFECT_NONE), Qt::IgnoreAction);
    EXPECT_EQ(DropEffectsOf(Qt::IgnoreAction), DROPEFFECT_NONE);
    EXPECT_EQ(DragKeyStateOf(Qt::ControlModifier | Qt::ShiftModifier, Qt::LeftButton),
              MK_CONTROL | MK_SHIFT | MK_LBUTTON);
    EXPECT_EQ(DragKeyStateOf(Qt::AltModifier, Qt::NoButton), MK_ALT);
    EXPECT_EQ(DropEffectsOfAttributes(SFGAO_CANMOVE | SFGAO_FOLDER), DROPEFFECT_MOVE);
}
