// Memory that runs out while the windows handle an event ends that action
// with a message instead of the program.
#include <new>

#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ui/application.h"

using namespace envelope;

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void outOfMemoryInAnEventShowsAMessage()
    {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->objectName() + ": " + box->text();
                box->accept();
            }
        });
        QTimer exhausting;
        connect(&exhausting, &QTimer::timeout, [] { throw std::bad_alloc(); });
        exhausting.start(3600000);
        QTimerEvent event(exhausting.timerId());
        QVERIFY(!QApplication::sendEvent(&exhausting, &event));
        QCOMPARE(shown, "OutOfMemory: Envelope ran out of memory: what it was doing has been abandoned.");
    }
};

int main(int argc, char* argv[])
{
    Application application(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
