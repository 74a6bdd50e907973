#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <memory>

#include "tests/support/MessageBoxCatcher.h"
#include "tests/ui/TestDialog.h"
#include "ui/qt/Widgets.h"

namespace velmora::testing_ui {
namespace {

using Log = std::vector<std::string>;

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<TestDialog>();
        ASSERT_TRUE(ShowActive(*dialog));
    }

    QtDialogWindow& Window() const { return WindowOf(*dialog); }
    QWidget* Item(int id) const { return WidgetOf(*dialog, id); }

    void FocusOn(int id)
    {
        Item(id)->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), Item(id));
    }

    std::unique_ptr<TestDialog> dialog;
};

TEST_F(DialogTest, BuildsEveryItemInTemplateOrderAtItsPlace)
{
    std::vector<QWidget*> created;
    for (QObject* child : Window().children()) {
        if (child->isWidgetType()) {
            created.push_back(static_cast<QWidget*>(child));
        }
    }
    ASSERT_EQ(created.size(), std::size(TestItems));
    const DialogBaseUnits base = dialog->BaseUnits();
    ASSERT_GT(base.averageWidth, 0);
    ASSERT_GT(base.height, 0);
    EXPECT_EQ(Window().size(), QSize(MulDiv(200, base.averageWidth, 4), MulDiv(170, base.height, 8)));

    for (std::size_t i = 0; i < created.size(); ++i) {
        const DialogItem& item = TestItems[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(Window().ControlId(created[i]), item.id == StaticId ? 0 : item.id);
        if (item.id != StaticId) {
            EXPECT_EQ(Item(item.id), created[i]);
        }
        const PixelRect place = MapDialogRect(item.rect, base);
        const QRect geometry = created[i]->geometry();
        EXPECT_EQ(geometry.topLeft(), QPoint(place.x, place.y));
        EXPECT_EQ(geometry.width(), place.width);
        if (item.kind == ControlKind::DropDownList) {
            EXPECT_LE(geometry.height(), place.height); // closed; the template has the open height
        } else {
            EXPECT_EQ(geometry.height(), place.height);
        }
    }
    EXPECT_NE(qobject_cast<ListBoxWidget*>(Item(TestIds::SortedList)), nullptr);
    EXPECT_NE(qobject_cast<EditWidget*>(Item(TestIds::FreeEdit)), nullptr);
    EXPECT_NE(qobject_cast<DropDownListWidget*>(Item(TestIds::FruitList)), nullptr);
    EXPECT_NE(qobject_cast<CheckBoxWidget*>(Item(TestIds::MarkCheck)), nullptr);
    EXPECT_NE(qobject_cast<QPushButton*>(Item(TestIds::GoButton)), nullptr);
    auto* label = qobject_cast<QLabel*>(created[3]);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Free:");
    EXPECT_FALSE(label->wordWrap()) << "a label one line high keeps its words on the line";
    auto* tallLabel = qobject_cast<QLabel*>(created.back());
    ASSERT_NE(tallLabel, nullptr);
    EXPECT_TRUE(tallLabel->wordWrap());
    EXPECT_EQ(dialog->GetDlgItem(StaticId), nullptr);
    EXPECT_EQ(dialog->GetDlgItem(999), nullptr);
    EXPECT_EQ(Window().ControlId(&Window()), 0);
    EXPECT_EQ(Window().ControlId(nullptr), 0);
    EXPECT_EQ(Window().windowTitle(), "Test");
    EXPECT_FALSE(dialog->Create()) << "a dialog is created once";
}

TEST_F(DialogTest, FocusStartsAtTheFirstTabStopAndTabFollowsTemplateOrder)
{
    EXPECT_EQ(QApplication::focusWidget(), Item(TestIds::SortedList));
    // Labels, the disabled button and the button without a tab stop are passed over.
    const int expected[] = {TestIds::UnsortedList, TestIds::QuietList,  TestIds::FreeEdit,
                            TestIds::DigitsEdit,   TestIds::ReadOnlyEdit, TestIds::FruitList,
                            TestIds::MarkCheck,    TestIds::PlainCheck, TestIds::GoButton,
                            TestIds::SortedList};
    for (int id : expected) {
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(dialog->GetFocusId(), id);
    }
    PressKey(Qt::Key_Backtab);
    EXPECT_EQ(dialog->GetFocusId(), TestIds::GoButton);
    EXPECT_TRUE(dialog->log == Log{"OnInitDialog"}) << "Tab is no command";
}

TEST(DialogInitTest, OnInitDialogAnsweringFalseLeavesTheFocusAlone)
{
    TestDialog dialog;
    dialog.initFocus = false;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(WindowOf(dialog).focusWidget(), nullptr);
    EXPECT_TRUE(dialog.log == Log{"OnInitDialog"});
}

TEST_F(DialogTest, NoButtonIsADefaultButtonEvenWithTheFocus)
{
    FocusOn(TestIds::GoButton);
    for (QPushButton* button : Window().findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
    }
}

TEST_F(DialogTest, ShowingMembersFillsTheBoxesWithoutChangeNotifications)
{
    dialog->freeText = "abc";
    dialog->digitsText = "-1";
    dialog->readOnlyText = "fixed";
    dialog->log.clear();
    ASSERT_TRUE(dialog->UpdateData(false));
    EXPECT_TRUE(dialog->log.empty()) << dialog->log.front();
    EXPECT_EQ(static_cast<QLineEdit*>(Item(TestIds::FreeEdit))->text(), "abc");
    EXPECT_EQ(static_cast<QLineEdit*>(Item(TestIds::DigitsEdit))->text(), "-1");
    EXPECT_EQ(static_cast<QLineEdit*>(Item(TestIds::ReadOnlyEdit))->text(), "fixed");
}

TEST_F(DialogTest, SavingCopiesTheBoxesIntoTheMembersOnlyWhenAsked)
{
    QTest::keyClicks(Item(TestIds::DigitsEdit), "42");
    static_cast<QLineEdit*>(Item(TestIds::ReadOnlyEdit))->setText("shown");
    EXPECT_EQ(dialog->digitsText, "");
    ASSERT_TRUE(dialog->UpdateData(true));
    EXPECT_EQ(dialog->digitsText, "42");
    EXPECT_EQ(dialog->readOnlyText, "shown");
    // Narrow members hold UTF-8.
    static_cast<QLineEdit*>(Item(TestIds::FreeEdit))->setText(QString::fromUtf8("ファイル"));
    ASSERT_TRUE(dialog->UpdateData(true));
    EXPECT_EQ(dialog->freeText, "ファイル");
}

TEST_F(DialogTest, TypingRunsTheChangeHandlerForEachCharacter)
{
    FocusOn(TestIds::FreeEdit);
    dialog->log.clear();
    QTest::keyClicks(QApplication::focusWidget(), "ab");
    // The handler's own exchanges (save, then show) call nothing back.
    EXPECT_TRUE((dialog->log == Log{"ChangeFree:a", "ChangeFree:ab"})) << dialog->log.size();
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(dialog->log.back(), "ChangeFree:a");
}

TEST_F(DialogTest, TextSetByTheProgramOutsideAnExchangeNotifies)
{
    dialog->log.clear();
    static_cast<QLineEdit*>(Item(TestIds::FreeEdit))->setText("set");
    EXPECT_TRUE((dialog->log == Log{"ChangeFree:set"}));
}

TEST_F(DialogTest, EventTableTakesTheFirstMatchingRow)
{
    dialog->log.clear();
    QTest::mouseClick(Item(TestIds::GoButton), Qt::LeftButton);
    QTest::mouseClick(Item(TestIds::MarkCheck), Qt::LeftButton);
    QTest::mouseClick(Item(TestIds::MarkCheck), Qt::LeftButton);
    EXPECT_TRUE((dialog->log == Log{"ClickedGo", "ClickedMark:on", "ClickedMark:off"}));
}

TEST_F(DialogTest, DisabledButtonCannotBeClicked)
{
    EXPECT_FALSE(dialog->offButton.IsWindowEnabled());
    EXPECT_TRUE(dialog->goButton.IsWindowEnabled());
    dialog->log.clear();
    QTest::mouseClick(Item(TestIds::OffButton), Qt::LeftButton);
    QTest::keyClick(Item(TestIds::OffButton), Qt::Key_Space);
    EXPECT_TRUE(dialog->log.empty());
    EXPECT_FALSE(Item(TestIds::OffButton)->hasFocus());
}

TEST_F(DialogTest, EnterIsTheOkCommandWhereverTheFocusIs)
{
    for (int id : {TestIds::SortedList, TestIds::FreeEdit, TestIds::DigitsEdit, TestIds::FruitList,
                   TestIds::MarkCheck}) {
        SCOPED_TRACE(id);
        FocusOn(id);
        dialog->log.clear();
        PressKey(Qt::Key_Return);
        PressKey(Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_TRUE((dialog->log == Log{"OnOK", "OnOK"}));
    }
    EXPECT_EQ(dialog->markCheck.GetCheck(), CheckMark::Unchecked);
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(DialogTest, EnterOnAFocusedPushButtonClicksIt)
{
    FocusOn(TestIds::GoButton);
    dialog->log.clear();
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE((dialog->log == Log{"ClickedGo", "ClickedGo"}));
    FocusOn(TestIds::SkipButton); // no tab stop, but it can hold the focus after a click
    PressKey(Qt::Key_Return);
    EXPECT_EQ(dialog->log.back(), "ClickedSkip");
    EXPECT_EQ(dialog->okCount, 0);
}

TEST_F(DialogTest, EscapeIsTheCancelCommand)
{
    FocusOn(TestIds::FreeEdit);
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(dialog->cancelCount, 1);
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Window().result(), IdCancel);
}

TEST_F(DialogTest, AKeyFilterCanSwallowEscape)
{
    dialog->swallowEscape = true;
    for (int id : {TestIds::SortedList, TestIds::FreeEdit, TestIds::GoButton}) {
        FocusOn(id);
        PressKey(Qt::Key_Escape);
    }
    QTest::keyClick(&Window(), Qt::Key_Escape); // addressed to the dialog itself
    EXPECT_EQ(dialog->cancelCount, 0);
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(DialogTest, CloseBoxIsTheCancelCommand)
{
    // What the window system sends when the close box or the system menu's Close is used.
    dialog->endOnCancel = false;
    QCloseEvent first;
    QApplication::sendEvent(Window().windowHandle(), &first);
    EXPECT_EQ(dialog->cancelCount, 1);
    EXPECT_TRUE(Window().isVisible()) << "OnCancel decides whether the dialog ends";

    dialog->endOnCancel = true;
    QCloseEvent second;
    QApplication::sendEvent(Window().windowHandle(), &second);
    EXPECT_EQ(dialog->cancelCount, 2);
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Window().result(), IdCancel);
}

TEST(DialogModalTest, DoModalRunsUntilTheBaseOkSavesAndEnds)
{
    TestDialog dialog;
    dialog.endOnOk = true;
    QTimer::singleShot(0, &WindowOf(dialog), [&dialog] {
        if (!WaitUntilActive(dialog)) {
            ADD_FAILURE() << "the dialog never became active";
            dialog.EndDialog(-1);
            return;
        }
        PressKey(Qt::Key_Tab); // unsorted list
        PressKey(Qt::Key_Tab); // quiet list
        PressKey(Qt::Key_Tab); // free edit
        QTest::keyClicks(QApplication::focusWidget(), "typed");
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), IdOk);
    EXPECT_EQ(dialog.freeText, "typed");
    EXPECT_EQ(dialog.okCount, 1);
    EXPECT_EQ(dialog.log.front(), "OnInitDialog");
}

TEST(DialogModalTest, DoModalEndsWithCancelOnEscape)
{
    TestDialog dialog;
    QTimer::singleShot(0, &WindowOf(dialog), [&dialog] {
        if (!WaitUntilActive(dialog)) {
            ADD_FAILURE() << "the dialog never became active";
            dialog.EndDialog(-1);
            return;
        }
        PressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.DoModal(), IdCancel);
    EXPECT_EQ(dialog.cancelCount, 1);
}

TEST_F(DialogTest, AModalDialogWithoutOwnerIsOwnedByTheMainWindowAndBlocksIt)
{
    Dialog::SetMainWindow(dialog.get());
    TestDialog second;
    QWidget* ownerWhileOpen = nullptr;
    bool mainBlocked = false;
    QTimer::singleShot(0, &WindowOf(second), [&] {
        ownerWhileOpen = WindowOf(second).parentWidget();
        mainBlocked = QApplication::activeModalWidget() == &WindowOf(second);
        if (!WaitUntilActive(second)) {
            ADD_FAILURE() << "the second dialog never became active";
            second.EndDialog(-1);
            return;
        }
        PressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(second.DoModal(), IdCancel);
    Dialog::SetMainWindow(nullptr);
    EXPECT_EQ(ownerWhileOpen, &Window());
    EXPECT_TRUE(mainBlocked);
    EXPECT_EQ(second.cancelCount, 1);
    EXPECT_EQ(dialog->cancelCount, 0) << "Escape went to the dialog on top";
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(DialogTest, MessageBoxShowsTheTextWithOnlyOkAndIsCaught)
{
    fixtures::MessageBoxCatcher catcher;
    EXPECT_EQ(dialog->MessageBox("Version error"), IdOk);
    EXPECT_EQ(dialog->MessageBox("num error"), IdOk);
    ASSERT_EQ(catcher.Boxes().size(), 2u);
    EXPECT_EQ(catcher.Texts(), QStringList({"Version error", "num error"}));
    const auto& box = catcher.Boxes().front();
    EXPECT_EQ(box.title, "Velmora");
    EXPECT_EQ(box.buttonCount, 1);
    EXPECT_TRUE(box.hasOkButton);
    EXPECT_FALSE(box.hasIcon);
    EXPECT_TRUE(box.modal);
    EXPECT_EQ(box.owner.data(), &Window());
    EXPECT_EQ(catcher.OpenCount(), 0);
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(dialog->okCount + dialog->cancelCount, 0) << "closing the box is no command of the dialog";
}

// A table whose rows do not fit the template.
class MismatchedDialog : public TableDialog<MismatchedDialog> {
public:
    MismatchedDialog() : TableDialog<MismatchedDialog>(TestTemplate) {}
    static std::span<const ExchangeRow<MismatchedDialog>> DataExchangeTable()
    {
        static constexpr ExchangeRow<MismatchedDialog> rows[] = {
            DdxText(TestIds::FreeEdit, &MismatchedDialog::first),
            DdxControl(TestIds::FreeEdit, &MismatchedDialog::list), // an edit, not a list box
            DdxText(TestIds::DigitsEdit, &MismatchedDialog::after),
        };
        return rows;
    }
    static std::span<const EventRow<MismatchedDialog>> EventTable() { return {}; }

    std::string first = "first";
    ListBox list;
    std::string after = "after";
};

class MissingDialog : public TableDialog<MissingDialog> {
public:
    MissingDialog() : TableDialog<MissingDialog>(TestTemplate) {}
    static std::span<const ExchangeRow<MissingDialog>> DataExchangeTable()
    {
        static constexpr ExchangeRow<MissingDialog> rows[] = {
            DdxText(TestIds::SortedList, &MissingDialog::text), // a list box has no text to exchange
            DdxText(4711, &MissingDialog::text),
        };
        return rows;
    }
    static std::span<const EventRow<MissingDialog>> EventTable() { return {}; }
    std::string text;
};

TEST(DialogExchangeTest, ARowThatDoesNotFitStopsTheExchange)
{
    MismatchedDialog mismatched;
    ASSERT_TRUE(mismatched.Create()); // its OnInitDialog exchange fails, the dialog stands
    EXPECT_FALSE(mismatched.UpdateData(false));
    EXPECT_EQ(static_cast<QLineEdit*>(WidgetOf(mismatched, TestIds::FreeEdit))->text(), "first");
    EXPECT_FALSE(mismatched.list.IsAttached());
    EXPECT_EQ(static_cast<QLineEdit*>(WidgetOf(mismatched, TestIds::DigitsEdit))->text(), "")
        << "rows after the failing one are not run";

    MissingDialog missing;
    ASSERT_TRUE(missing.Create());
    EXPECT_FALSE(missing.UpdateData(true));
}

} // namespace
} // namespace velmora::testing_ui
