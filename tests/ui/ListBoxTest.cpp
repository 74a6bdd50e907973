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
    QWidget* area = list.viewport();
    const auto at = [&](int line) { return list.visualItemRect(list.item(line)).center(); };
    const std::pair<ListInput, Qt::Key> keys[] = {
        {ListInput::Up, Qt::Key_Up},           {ListInput::Down, Qt::Key_Down}, {ListInput::Left, Qt::Key_Left},
        {ListInput::Right, Qt::Key_Right},     {ListInput::PageUp, Qt::Key_PageUp}, {ListInput::PageDown, Qt::Key_PageDown},
        {ListInput::Home, Qt::Key_Home},       {ListInput::End, Qt::Key_End},   {ListInput::Space, Qt::Key_Space},
    };
    for (const auto& [input, key] : keys) {
        if (step.input == input)
            QTest::keyClick(&list, key);
    }
    switch (step.input) {
    case ListInput::Typed:
        QTest::keyClicks(&list, QString(QChar(step.line)));
        break;
    case ListInput::Click:
    case ListInput::RightClick:
    case ListInput::MiddleClick: {
        const Qt::MouseButton button = step.input == ListInput::Click ? Qt::LeftButton
                                       : step.input == ListInput::RightClick ? Qt::RightButton : Qt::MiddleButton;
        QTest::mouseClick(area, button, {}, at(step.line));
        break;
    }
    case ListInput::Drag:
        QTest::mousePress(area, Qt::LeftButton, {}, at(step.line));
        QTest::mouseMove(area, at(step.to));
        QTest::mouseRelease(area, Qt::LeftButton, {}, at(step.to));
        break;
    case ListInput::DoubleClick:
        QTest::mouseClick(area, Qt::LeftButton, {}, at(step.line));
        QTest::mouseDClick(area, Qt::LeftButton, {}, at(step.line));
        break;
    case ListInput::ClickBelow:
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(10, area->height() - 3));
        break;
    case ListInput::DragFromBelow:
        QTest::mousePress(area, Qt::LeftButton, {}, QPoint(10, area->height() - 3));
        QTest::mouseMove(area, at(step.to));
        QTest::mouseRelease(area, Qt::LeftButton, {}, at(step.to));
        break;
    default:
        break;
    }
}

TEST(ListBoxTest, AnswersTheUserAsTheWin32ListBox)
{
    InstallDialogFonts();
    ListBoxDialog dialog;
    ASSERT_TRUE(dialog.Create());
    WindowOf(dialog).show();
    auto& list = *static_cast<QListWidget*>(WidgetOf(dialog, MainDialogIds::TechList));
    for (const ListBoxRow& row : ListBoxRows()) {
        dialog.Fill(row.lines);
        const int page = row.lines > 0 ? list.viewport()->height() / list.sizeHintForRow(0) : 0;
        for (const ListStep& step : row.steps) {
            if (step.input == ListInput::Select)
                dialog.list.SetCurSel(step.line);
            else
                Play(list, step);
        }
        EXPECT_EQ(dialog.list.GetCurSel(), row.selected + row.pages * (page - 1)) << row.what;
        EXPECT_EQ(dialog.reports, row.reports) << row.what;
    }
}

} // namespace
} // namespace velmora
