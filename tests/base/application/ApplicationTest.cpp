// SPDX-License-Identifier: MIT
#include "base/application/SsApplication.h"
#include "base/exceptions/SsBase.h"

#include "app/convert/ConversionRun.h"

#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

const QEvent::Type kThrowingEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Throws what it is given when it receives kThrowingEvent.
class FailingReceiver : public QObject {
public:
    explicit FailingReceiver(std::function<void()> fail) : m_fail(std::move(fail)) {}
    bool event(QEvent* event) override
    {
        if (event->type() == kThrowingEvent)
            m_fail();
        return QObject::event(event);
    }

private:
    std::function<void()> m_fail;
};

class Emitter : public QObject {
    Q_OBJECT
signals:
    void fired();
};

TSsApplication& application()
{
    return *static_cast<TSsApplication*>(QCoreApplication::instance());
}

class ExceptionBoundary : public ::testing::Test {
protected:
    void SetUp() override
    {
        QApplication::setApplicationDisplayName(QStringLiteral("Datewright Converter 2.20"));
        application().SetErrorBox([this](const QString& caption, const QString& text) {
            shown.emplace_back(caption, text);
        });
    }
    void TearDown() override { application().SetErrorBox({}); }

    std::vector<QString> texts() const
    {
        std::vector<QString> result;
        for (const auto& box : shown)
            result.push_back(box.second);
        return result;
    }

    std::vector<std::pair<QString, QString>> shown;
};

TEST_F(ExceptionBoundary, ThrowsFromAPostedEventATimerAndASignalHandlerLeaveTheLoopRunning)
{
    FailingReceiver receiver([] { throw ESsInvalidFolder(ssscInvalidFolder); });
    Emitter emitter;
    QObject::connect(&emitter, &Emitter::fired, [] { throw dw::convert::ConversionError("Stream write error", "", 5); });
    bool laterEventRan = false;

    QCoreApplication::postEvent(&receiver, new QEvent(kThrowingEvent));
    QTimer::singleShot(0, [] { throw std::out_of_range("Index out of range!"); });
    QTimer::singleShot(5, &emitter, &Emitter::fired);
    QTimer::singleShot(20, [&] {
        laterEventRan = true;
        QCoreApplication::exit(7);
    });
    const int status = QCoreApplication::exec();

    EXPECT_EQ(status, 7); // ended by the last event, not by an exception
    EXPECT_TRUE(laterEventRan);
    EXPECT_EQ(texts(), (std::vector<QString>{"Invalid folder.", "Index out of range!", "Stream write error."}));
    for (const auto& box : shown)
        EXPECT_EQ(box.first, "Datewright Converter 2.20");
}

TEST_F(ExceptionBoundary, TextsOfEveryKindOfException)
{
    const auto textOf = [](auto exception) { return TSsExceptionBoundary::ExceptionText(std::make_exception_ptr(exception)); };
    EXPECT_EQ(textOf(ESsShellError(ssscInvalidFolder)), "Invalid folder.");
    EXPECT_EQ(textOf(dw::convert::ConversionError("Cannot create file /cal/a.dw2", "/cal/a.dw2", 13)),
              "Cannot create file /cal/a.dw2.");
    EXPECT_EQ(textOf(std::runtime_error("Done.")), "Done.");
    EXPECT_EQ(textOf(std::bad_alloc()), "Out of memory.");
    EXPECT_EQ(textOf(42), QString(TSsExceptionBoundary::kUnknownErrorText) + ".");
    EXPECT_EQ(textOf(std::runtime_error("caf\xc3\xa9")), QString::fromUtf8("caf\xc3\xa9."));
}

TEST_F(ExceptionBoundary, AnExceptionOnAnotherThreadIsShownOnTheWindowsThread)
{
    QThread worker;
    worker.start();
    auto* receiver = new FailingReceiver([] { throw std::runtime_error("Worker failed"); });
    receiver->moveToThread(&worker);
    QObject::connect(&worker, &QThread::finished, receiver, &QObject::deleteLater);
    QThread* boxThread = nullptr;
    application().SetErrorBox([&](const QString&, const QString& text) {
        boxThread = QThread::currentThread();
        shown.emplace_back(QString(), text);
        QCoreApplication::exit(0);
    });
    QCoreApplication::postEvent(receiver, new QEvent(kThrowingEvent));
    QTimer giveUp; // only if the box never comes
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(30000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    worker.quit();
    worker.wait();
    EXPECT_EQ(texts(), (std::vector<QString>{"Worker failed."}));
    EXPECT_EQ(boxThread, application().thread());
}

TEST_F(ExceptionBoundary, AFailureWhileTheBoxIsOpenWaitsForItToClose)
{
    FailingReceiver receiver([] { throw std::runtime_error("Paint failed"); });
    int depth = 0;
    int deepest = 0;
    application().SetErrorBox([&](const QString&, const QString& text) {
        ++depth;
        deepest = std::max(deepest, depth);
        shown.emplace_back(QString(), text);
        if (shown.size() == 1) {
            // While the first box is open, two more handlers fail.
            QEvent paint(kThrowingEvent);
            QCoreApplication::sendEvent(&receiver, &paint);
            QCoreApplication::sendEvent(&receiver, &paint);
        }
        --depth;
    });
    application().HandleException(std::make_exception_ptr(std::runtime_error("First")));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(texts(), (std::vector<QString>{"First.", "Paint failed."}));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TSsApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "ApplicationTest.moc"
