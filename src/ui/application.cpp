#include "ui/application.h"

#include <new>

#include <QMessageBox>

namespace envelope {

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        QMessageBox message(QMessageBox::Critical, applicationDisplayName(),
                            tr("Envelope ran out of memory: what it was doing has been abandoned."),
                            QMessageBox::Ok);
        message.setObjectName(QStringLiteral("OutOfMemory"));
        message.exec();
        return false;
    }
}

} // namespace envelope
