// A dialog with one control of every kind and style, its tables, and a log of what its
// handlers saw, for the framework's tests.
#pragma once

#include <QApplication>
#include <QTest>

#include <span>
#include <string>
#include <vector>

#include "ui/Dialog.h"
#include "tests/support/DialogDriver.h"

namespace velmora::testing_ui {

struct TestIds {
    static constexpr int SortedList = 100;
    static constexpr int UnsortedList = 101;
    static constexpr int FreeEdit = 102;
    static constexpr int DigitsEdit = 103;
    static constexpr int ReadOnlyEdit = 104;
    static constexpr int FruitList = 105;
    static constexpr int MarkCheck = 106;
    static constexpr int GoButton = 107;
    static constexpr int OffButton = 108;
    static constexpr int QuietList = 109;
    static constexpr int PlainCheck = 110;
    static constexpr int SkipButton = 111;
};

inline constexpr std::string_view Fruits[] = {"", "Apple", "Pear"};

inline constexpr ItemStyles Tab = StyleTabStop;
inline constexpr ItemStyles Framed = StyleTabStop | StyleBorder | StyleAutoHScroll;

inline constexpr DialogItem TestItems[] = {
    {TestIds::SortedList, ControlKind::ListBox, {5, 5, 60, 60}, "", Tab | StyleSort | StyleNotify | StyleVScroll | StyleBorder, {}},
    {TestIds::UnsortedList, ControlKind::ListBox, {70, 5, 60, 60}, "", Tab | StyleNotify | StyleVScroll | StyleBorder, {}},
    {TestIds::QuietList, ControlKind::ListBox, {135, 5, 60, 60}, "", Tab | StyleVScroll | StyleBorder, {}},
    {StaticId, ControlKind::StaticText, {5, 70, 40, 9}, "Free:", StyleNone, {}},
    {TestIds::FreeEdit, ControlKind::Edit, {50, 68, 80, 13}, "", Framed, {}},
    {TestIds::DigitsEdit, ControlKind::Edit, {50, 84, 80, 13}, "", Framed | StyleDigitsOnly, {}},
    {TestIds::ReadOnlyEdit, ControlKind::Edit, {50, 100, 80, 13}, "", Framed | StyleReadOnly, {}},
    {TestIds::FruitList, ControlKind::DropDownList, {50, 116, 80, 50}, "", Tab | StyleVScroll, Fruits},
    {TestIds::MarkCheck, ControlKind::CheckBox, {5, 134, 60, 12}, "Mark", Tab | StyleAutoCheck, {}},
    {TestIds::PlainCheck, ControlKind::CheckBox, {70, 134, 60, 12}, "Plain", Tab, {}},
    {TestIds::GoButton, ControlKind::PushButton, {5, 150, 40, 14}, "Go", Tab, {}},
    {TestIds::OffButton, ControlKind::PushButton, {50, 150, 40, 14}, "Off", Tab | StyleDisabled, {}},
    {TestIds::SkipButton, ControlKind::PushButton, {95, 150, 40, 14}, "Skip", StyleNone, {}},
    {StaticId, ControlKind::StaticText, {140, 130, 55, 30}, "A label high enough for two lines", StyleNone, {}},
};

inline constexpr DialogTemplate TestTemplate{
    900, "Test", 200, 170, "DejaVu Sans", 9,
    DialogStyleCaption | DialogStyleSystemMenu | DialogStyleModalFrame, TestItems,
};

class TestDialog : public TableDialog<TestDialog> {
public:
    TestDialog() : TableDialog<TestDialog>(TestTemplate) {}

    static std::span<const ExchangeRow<TestDialog>> DataExchangeTable()
    {
        static constexpr ExchangeRow<TestDialog> rows[] = {
            DdxControl(TestIds::SortedList, &TestDialog::sortedList),
            DdxControl(TestIds::UnsortedList, &TestDialog::unsortedList),
            DdxControl(TestIds::QuietList, &TestDialog::quietList),
            DdxControl(TestIds::FruitList, &TestDialog::fruitList),
            DdxControl(TestIds::MarkCheck, &TestDialog::markCheck),
            DdxControl(TestIds::PlainCheck, &TestDialog::plainCheck),
            DdxControl(TestIds::GoButton, &TestDialog::goButton),
            DdxControl(TestIds::OffButton, &TestDialog::offButton),
            DdxText(TestIds::FreeEdit, &TestDialog::freeText),
            DdxText(TestIds::DigitsEdit, &TestDialog::digitsText),
            DdxText(TestIds::ReadOnlyEdit, &TestDialog::readOnlyText),
        };
        return rows;
    }

    static std::span<const EventRow<TestDialog>> EventTable()
    {
        static constexpr EventRow<TestDialog> rows[] = {
            {Notification::SelChange, TestIds::SortedList, &TestDialog::OnSelChangeSorted},
            {Notification::SelChange, TestIds::UnsortedList, &TestDialog::OnSelChangeUnsorted},
            {Notification::SelChange, TestIds::QuietList, &TestDialog::OnSelChangeQuiet},
            {Notification::Change, TestIds::FreeEdit, &TestDialog::OnChangeFree},
            {Notification::Change, TestIds::DigitsEdit, &TestDialog::OnChangeDigits},
            {Notification::Change, TestIds::ReadOnlyEdit, &TestDialog::OnChangeReadOnly},
            {Notification::SelChange, TestIds::FruitList, &TestDialog::OnSelChangeFruit},
            {Notification::Clicked, TestIds::MarkCheck, &TestDialog::OnClickedMark},
            {Notification::Clicked, TestIds::PlainCheck, &TestDialog::OnClickedPlain},
            {Notification::Clicked, TestIds::GoButton, &TestDialog::OnClickedGo},
            {Notification::Clicked, TestIds::GoButton, &TestDialog::OnClickedGoAgain},
            {Notification::Clicked, TestIds::OffButton, &TestDialog::OnClickedOff},
            {Notification::Clicked, TestIds::SkipButton, &TestDialog::OnClickedSkip},
        };
        return rows;
    }

    ListBox sortedList;
    ListBox unsortedList;
    ListBox quietList;
    DropDownList fruitList;
    Button markCheck;
    Button plainCheck;
    Button goButton;
    Button offButton;
    std::string freeText;
    std::string digitsText;
    std::string readOnlyText;

    std::vector<std::string> log;
    int okCount = 0;
    int cancelCount = 0;
    bool initFocus = true;
    bool endOnOk = false;
    bool endOnCancel = true;
    bool swallowEscape = false;

protected:
    bool OnInitDialog() override
    {
        TableDialog<TestDialog>::OnInitDialog();
        log.push_back("OnInitDialog");
        return initFocus;
    }
    void OnOK() override
    {
        ++okCount;
        log.push_back("OnOK");
        if (endOnOk) {
            TableDialog<TestDialog>::OnOK();
        }
    }
    void OnCancel() override
    {
        ++cancelCount;
        log.push_back("OnCancel");
        if (endOnCancel) {
            TableDialog<TestDialog>::OnCancel();
        }
    }
    bool PreTranslateMessage(Key key, int target) override
    {
        if (swallowEscape && key == Key::Escape) {
            return true;
        }
        return TableDialog<TestDialog>::PreTranslateMessage(key, target);
    }

private:
    // Handlers read the boxes first, as the program's handlers do; the exchange must not
    // call them back.
    void OnChangeFree()
    {
        UpdateData(true);
        log.push_back("ChangeFree:" + freeText);
        UpdateData(false);
    }
    void OnChangeDigits() { log.push_back("ChangeDigits"); }
    void OnChangeReadOnly() { log.push_back("ChangeReadOnly"); }
    void OnSelChangeSorted() { log.push_back("SelSorted:" + std::to_string(sortedList.GetCurSel())); }
    void OnSelChangeUnsorted() { log.push_back("SelUnsorted:" + std::to_string(unsortedList.GetCurSel())); }
    void OnSelChangeQuiet() { log.push_back("SelQuiet"); }
    void OnSelChangeFruit() { log.push_back("SelFruit:" + std::to_string(fruitList.GetCurSel())); }
    void OnClickedMark() { log.push_back(markCheck.GetCheck() == CheckMark::Checked ? "ClickedMark:on" : "ClickedMark:off"); }
    void OnClickedPlain() { log.push_back("ClickedPlain"); }
    void OnClickedGo() { log.push_back("ClickedGo"); }
    void OnClickedGoAgain() { log.push_back("ClickedGoAgain"); }
    void OnClickedOff() { log.push_back("ClickedOff"); }
    void OnClickedSkip() { log.push_back("ClickedSkip"); }
};

using fixtures::PressKey;
using fixtures::WaitUntilActive;

// Builds the dialog, shows it and makes it the active window.
inline bool ShowActive(Dialog& dialog)
{
    if (!dialog.IsCreated() && !dialog.Create()) {
        return false;
    }
    WindowOf(dialog).show();
    return WaitUntilActive(dialog);
}

} // namespace velmora::testing_ui
