// Driving real dialogs in tests: wait until a dialog is the active window, then press keys
// where the keyboard focus is, as a user would.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>

#include "ui/Dialog.h"
#include "ui/qt/DialogWindow.h"

namespace velmora::fixtures {

// Waits until the shown dialog is the active window, so keys reach the control holding
// its focus.
inline bool WaitUntilActive(Dialog& dialog)
{
    QWidget& window = WindowOf(dialog);
    window.activateWindow();
    return QTest::qWaitFor([&window] { return QApplication::activeWindow() == &window; });
}

// A key pressed and released where the keyboard focus is.
inline void PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

// Runs `whileOpen` once the modal dialog is up and active; ends the dialog with -1 when
// it never becomes active, so a test cannot hang on it.
inline void WhenActive(Dialog& dialog, std::function<void()> whileOpen)
{
    QTimer::singleShot(0, &WindowOf(dialog), [&dialog, whileOpen = std::move(whileOpen)] {
        if (!WaitUntilActive(dialog)) {
            dialog.EndDialog(-1);
            return;
        }
        whileOpen();
    });
}

} // namespace velmora::fixtures
