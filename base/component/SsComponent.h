// SPDX-License-Identifier: MIT
#pragma once
// Base of the library's components.
//
// Every component reports the library's version through the read-only
// property Version. Assigning it is accepted and ignored, so that a form
// description or a property editor that writes it back does no harm; the
// property is never stored with a form.

#include <QObject>
#include <QString>

class TSsComponent : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Version READ GetVersion WRITE SetVersion STORED false)

public:
    static constexpr const char* kLibraryVersion = "1.02";

    explicit TSsComponent(QObject* owner = nullptr);

    QString GetVersion() const;
    void SetVersion(const QString& ignored);
};
