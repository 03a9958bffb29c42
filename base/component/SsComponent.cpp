// SPDX-License-Identifier: MIT
#include "SsComponent.h"

TSsComponent::TSsComponent(QObject* owner)
    : QObject(owner)
{
}

QString TSsComponent::GetVersion() const
{
    return QString::fromLatin1(kLibraryVersion);
}

void TSsComponent::SetVersion(const QString&)
{
}
