#include "tests/support/MessageBoxCatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>

namespace velmora::fixtures {

MessageBoxCatcher::MessageBoxCatcher()
{
    qApp->installEventFilter(this);
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    qApp->removeEventFilter(this);
}

QStringList MessageBoxCatcher::Texts() const
{
    QStringList texts;
    for (const Shown& box : shown_) {
        texts.append(box.text);
    }
    return texts;
}

int MessageBoxCatcher::OpenCount() const
{
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible()) {
            ++open;
        }
    }
    return open;
}

bool MessageBoxCatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            Shown shown;
            shown.text = box->text();
            shown.title = box->windowTitle();
            shown.owner = box->parentWidget();
            shown.buttonCount = static_cast<int>(box->buttons().size());
            shown.hasOkButton = box->button(QMessageBox::Ok) != nullptr;
            shown.hasIcon = box->icon() != QMessageBox::NoIcon;
            shown.modal = box->isModal();
            shown_.push_back(shown);
            // The box is shown before its modal loop starts; the click is queued, so it
            // runs inside that loop and ends it. A box gone by then takes the call along.
            QMetaObject::invokeMethod(
                box,
                [box] {
                    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                        ok->click();
                    } else {
                        box->reject();
                    }
                },
                Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velmora::fixtures
