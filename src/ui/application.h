#pragma once
// The windows' application object. Memory that runs out while an event is
// handled (a run, a case opened, a chart drawn) ends only what that event
// started: the window shows a message and stays open.

#include <QApplication>

namespace envelope {

class Application : public QApplication {
public:
    using QApplication::QApplication;

    // Delivers the event; on std::bad_alloc shows a message box (object name
    // "OutOfMemory") and returns false.
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace envelope
