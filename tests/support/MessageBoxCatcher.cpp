#include "tests/support/MessageBoxCatcher.h"

#include <QAbstractButton>

#include <algorithm>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>

namespace velmora::fixtures {

MessageBoxCatcher::MessageBoxCatcher() { qApp->installEventFilter(this); }

MessageBoxCatcher::~MessageBoxCatcher() { qApp->removeEventFilter(this); }

QStringList MessageBoxCatcher::Texts() const
{
    QStringList texts;
    for (const Shown& box : shown_)
        texts.append(box.text);
    return texts;
}

int MessageBoxCatcher::OpenCount()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return static_cast<int>(std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return qobject_cast<QMessageBox*>(w) && w->isVisible(); }));
}

bool MessageBoxCatcher::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = event->type() == QEvent::Show ? qobject_cast<QMessageBox*>(watched) : nullptr;
    if (box) {
        shown_.push_back({box->text(), box->windowTitle(), box->parentWidget(),
                          box->buttons().size() == 1 && box->button(QMessageBox::Ok), box->icon() != QMessageBox::NoIcon, box->isModal(),
                          QApplication::overrideCursor() != nullptr});
        // The box is shown before its modal loop starts; the click is queued, so it runs
        // inside that loop and ends it. A box gone by then takes the call along.
        QMetaObject::invokeMethod(box, [box] { box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject(); },
                                  Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velmora::fixtures
