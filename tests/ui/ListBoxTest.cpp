// The list box's answers to the user on the Qt backend, row by row of the table both
// backends share (tests/support/ListBoxRows.h).
#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>

#include "resources/DialogFonts.h"
#include "tests/support/ListBoxRows.h"
#include "ui/qt/DialogWindow.h"

namespace velmora {
namespace {

using namespace fixtures;

void Play(QListWidget& list, const ListStep& step)
{
    constexpr Qt::Key keys[] = {Qt::Key_Up,     Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp,
                                Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End,  Qt::Key_Space};
    QWidget* area = list.viewport();
    const auto at = [&](int line) { return list.visualItemRect(list.item(line)).center(); };
    const QPoint below(10, area->height() - 3);
    switch (step.input) {
    case ListInput::Typed:
        return QTest::keyClicks(&list, QString(QChar(step.line)));
    case ListInput::Click:
        return QTest::mouseClick(area, Qt::LeftButton, {}, at(step.line));
    case ListInput::RightClick:
        return QTest::mouseClick(area, Qt::RightButton, {}, at(step.line));
    case ListInput::MiddleClick:
        return QTest::mouseClick(area, Qt::MiddleButton, {}, at(step.line));
    case ListInput::DoubleClick:
        QTest::mouseClick(area, Qt::LeftButton, {}, at(step.line));
        return QTest::mouseDClick(area, Qt::LeftButton, {}, at(step.line));
    case ListInput::ClickBelow:
        return QTest::mouseClick(area, Qt::LeftButton, {}, below);
    case ListInput::Drag:
    case ListInput::DragFromBelow:
        QTest::mousePress(area, Qt::LeftButton, {}, step.input == ListInput::Drag ? at(step.line) : below);
        QTest::mouseMove(area, at(step.to));
        return QTest::mouseRelease(area, Qt::LeftButton, {}, at(step.to));
    default:
        return QTest::keyClick(&list, keys[static_cast<int>(step.input)]);
    }
}

TEST(ListBoxTest, AnswersTheUserAsTheWin32ListBox)
{
    InstallDialogFonts();
    ListBoxDialog dialog;
    ASSERT_TRUE(dialog.Create());
    WindowOf(dialog).show();
    auto& list = *static_cast<QListWidget*>(WidgetOf(dialog, MainDialogIds::TechList));
    CheckListBoxRows(dialog, [&](const ListStep& step) { Play(list, step); },
                     [&] { return list.count() > 0 ? list.viewport()->height() / list.sizeHintForRow(0) : 0; });
}

} // namespace
} // namespace velmora
