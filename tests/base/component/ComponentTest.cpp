// SPDX-License-Identifier: MIT
#include "base/component/SsComponent.h"

#include <gtest/gtest.h>

#include <QMetaProperty>

namespace {

class DerivedComponent : public TSsComponent {
public:
    using TSsComponent::TSsComponent;
};

TEST(SsComponent, VersionReadsTheLibraryVersion)
{
    TSsComponent component;
    EXPECT_EQ(component.GetVersion(), "1.02");
    EXPECT_EQ(component.property("Version").toString(), "1.02");
}

TEST(SsComponent, WritingVersionChangesNothing)
{
    DerivedComponent component;
    component.SetVersion("9.99");
    EXPECT_EQ(component.GetVersion(), "1.02");
    component.setProperty("Version", QStringLiteral("2.00"));
    EXPECT_EQ(component.property("Version").toString(), "1.02");
    EXPECT_TRUE(component.dynamicPropertyNames().isEmpty());
}

TEST(SsComponent, VersionIsNotStored)
{
    TSsComponent component;
    const QMetaObject* meta = component.metaObject();
    const int index = meta->indexOfProperty("Version");
    ASSERT_GE(index, 0);
    const QMetaProperty property = meta->property(index);
    EXPECT_FALSE(property.isStored());
    EXPECT_TRUE(property.isReadable());
}

TEST(SsComponent, OwnerFreesTheComponent)
{
    auto owner = std::make_unique<QObject>();
    auto* component = new TSsComponent(owner.get());
    bool destroyed = false;
    QObject::connect(component, &QObject::destroyed, [&] { destroyed = true; });
    owner.reset();
    EXPECT_TRUE(destroyed);
}

} // namespace
