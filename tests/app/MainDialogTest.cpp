// The main dialog on real widgets: start-up, the load commands, Escape and closing.
#include "tests/app/AppFixture.h"

#include <QAbstractButton>
#include <QProcess>

#include "editor/EffectDialog.h"

namespace velmora {
namespace {

using namespace fixtures;

using MainDialogTest = AppTest;

TEST_F(MainDialogTest, StartsOnTheRegistrysFolderWithNothingLoaded)
{
    Open();
    EXPECT_EQ(dialog->installFolder, "C:\\Games\\Test");
    EXPECT_EQ(BoxText(Ids::Path), "C:\\Games\\Test\\Data\\brannoch2_x1_p1.dat");
    EXPECT_EQ(dialog->languageModules.moduleCount, 1);  // only language.dll exists
    EXPECT_EQ(dialog->languageModules.LookupString(12), "Id twelve");
    EXPECT_EQ(List(Ids::TechList)->count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), Item(Ids::TechList));
    EXPECT_EQ(dialog->dataBuffer.length, 0);
    EXPECT_FALSE(Window().windowIcon().isNull());
}

TEST_F(MainDialogTest, WithoutARegistryTheFolderIsEmpty)
{
    fs::remove(prefix / "system.reg");
    Open();
    EXPECT_EQ(dialog->installFolder, "");
    EXPECT_EQ(BoxText(Ids::Path), "\\Data\\brannoch2_x1_p1.dat");
    EXPECT_EQ(dialog->languageModules.moduleCount, 0);
}

TEST_F(MainDialogTest, EnterInThePathBoxLoadsAndListsEveryTech)
{
    WriteData(DataFile({}, ManyTechs(460)));
    Open();
    EnterInPathBox();
    const QStringList lines = Lines(Ids::TechList);
    ASSERT_EQ(lines.size(), 460);
    for (int i = 0; i < 460; ++i)
        ASSERT_EQ(lines[i], QString::asprintf("%03d:Craft %d", i, i));
    EXPECT_TRUE(messageBoxes.Texts().isEmpty());
    EXPECT_GT(dialog->dataBuffer.length, 0);
}

TEST_F(MainDialogTest, EnterElsewhereLoadsNothingAndChangesNoBox)
{
    WriteData(DataFile({}, ManyTechs(3)));
    Open();
    EditBox(Ids::Path)->setText("typed but not taken");
    Item(Ids::TechList)->setFocus();
    PressKey(Qt::Key_Return);
    EXPECT_EQ(List(Ids::TechList)->count(), 0);
    EXPECT_EQ(BoxText(Ids::Path), "typed but not taken");
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(dialog->dataBuffer.length, 0);
}

TEST_F(MainDialogTest, AMissingFileShowsNothingAndKeepsTheTypedPathAndTheList)
{
    WriteData(DataFile({}, ManyTechs(2)));
    Open();
    EnterInPathBox();
    ASSERT_EQ(List(Ids::TechList)->count(), 2);
    TypeInto(Ids::Path, "C:\\Games\\Test\\Data\\missing.dat");
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(messageBoxes.Texts().isEmpty());
    EXPECT_EQ(BoxText(Ids::Path), "C:\\Games\\Test\\Data\\missing.dat");
    EXPECT_EQ(Lines(Ids::TechList), (QStringList{"000:Craft 0", "001:Craft 1"}));
}

TEST_F(MainDialogTest, TheOpenButtonLoadsThePathTheUserTyped)
{
    WriteData(DataFile({}, ManyTechs(2)));
    WriteData(DataFile({}, {NamedTech("Other file")}), "other.dat");
    Open();
    TypeInto(Ids::Path, "C:\\Games\\Test\\Data\\OTHER.DAT");
    QTest::mouseClick(static_cast<QAbstractButton*>(Item(Ids::Open)), Qt::LeftButton);
    EXPECT_EQ(Lines(Ids::TechList), QStringList{"000:Other file"});
    EXPECT_EQ(BoxText(Ids::Path), "C:\\Games\\Test\\Data\\OTHER.DAT");
}

TEST_F(MainDialogTest, AVersionErrorIsShownAndThePreviousListStays)
{
    WriteData(DataFile({}, ManyTechs(2)));
    DataFileWriter bad;
    bad.Version("VER 5.6").Zeros(8).Civs({CivSpec{.name = "Gaia"}}).Techs({NamedTech("Never")});
    WriteData(bad.Data(), "old.dat");
    Open();
    EnterInPathBox();
    TypeInto(Ids::Path, "C:\\Games\\Test\\Data\\old.dat");
    PressKey(Qt::Key_Return);
    ASSERT_EQ(messageBoxes.Texts(), QStringList{"Version error"});
    EXPECT_EQ(messageBoxes.Boxes()[0].owner, &Window());
    EXPECT_TRUE(messageBoxes.Boxes()[0].hasOkButton);
    EXPECT_EQ(messageBoxes.Boxes()[0].buttonCount, 1);
    EXPECT_EQ(messageBoxes.OpenCount(), 0);
    EXPECT_EQ(Lines(Ids::TechList), (QStringList{"000:Craft 0", "001:Craft 1"}));
    EXPECT_EQ(dialog->tables.techs[1].name, "Craft 1");
}

TEST_F(MainDialogTest, TechNamesThatAreNotUtf8AreShownAsWindows1252)
{
    WriteData(DataFile({}, {NamedTech("Caf\xE9"), NamedTech("\xE6\x97\xA5\xE6\x9C\xAC")}));
    Open();
    EnterInPathBox();
    EXPECT_EQ(Lines(Ids::TechList), (QStringList{QString::fromUtf8("000:Caf\xC3\xA9"), QString::fromUtf8("001:\xE6\x97\xA5\xE6\x9C\xAC")}));
}

TEST_F(MainDialogTest, EscapeNeverClosesTheDialog)
{
    Open();
    for (int id : {Ids::TechList, Ids::Path, Ids::EffectNo, Ids::CivList})
    {
        Item(id)->setFocus();
        PressKey(Qt::Key_Escape);
        EXPECT_TRUE(Window().isVisible()) << id;
    }
}

TEST_F(MainDialogTest, AddAndDeleteCannotBeClicked)
{
    Open();
    for (int id : {Ids::Add, Ids::Delete}) {
        auto* button = static_cast<QAbstractButton*>(Item(id));
        EXPECT_FALSE(button->isEnabled());
        bool clicked = false;
        QObject::connect(button, &QAbstractButton::clicked, [&clicked] { clicked = true; });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(clicked);
    }
}

// A property of a window as the window manager reads it: xprop's text after " = ".
QString XProperty(QWidget& window, const char* name)
{
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(window.winId()), name});
    xprop.waitForFinished();
    return QString::fromUtf8(xprop.readAllStandardOutput()).trimmed().section(" = ", 1);
}

// Needs an X server: the test MainDialogTest.OnX11 runs it on one.
TEST_F(MainDialogTest, OnX11TheWindowManagerGetsTheCaptionsAloneAndNoSizingBorder)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X server";
    Open();
    EffectDialog effect;
    ASSERT_TRUE(effect.Create());
    WindowOf(effect).show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&WindowOf(effect)));
    EXPECT_EQ(XProperty(Window(), "_NET_WM_NAME").toStdString(), "\"Velmora\"");
    EXPECT_EQ(XProperty(WindowOf(effect), "_NET_WM_NAME").toStdString(), "\"Effect\"");
    // Flags, functions, decorations: neither resizing (function 2) nor resize handles (decoration 4).
    const QStringList hints = XProperty(Window(), "_MOTIF_WM_HINTS").split(", ");
    ASSERT_GE(hints.size(), 3);
    EXPECT_EQ(hints[1].toUInt(nullptr, 16) & 2u, 0u);
    EXPECT_EQ(hints[2].toUInt(nullptr, 16) & 4u, 0u);
}

TEST_F(MainDialogTest, ClosingReleasesLoadedData)
{
    WriteData(DataFile({}, ManyTechs(1)));
    Open();
    EnterInPathBox();
    ASSERT_GT(dialog->dataBuffer.length, 0);
    Window().close();
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(dialog->dataBuffer.length, 0);
    EXPECT_EQ(dialog->dataBuffer.bytes, nullptr);
}

TEST(MinimizedIconTest, CentredWithTruncatingDivision)
{
    const std::tuple<int, int, int> rows[] = {{36, 2, 2}, {35, 2, 2}, {30, 0, 0}, {31, 0, 0}, {32, 0, 0}};
    for (const auto& [client, x, y] : rows) {
        const IconPosition at = MinimizedIconPosition(client, client, 32, 32);
        EXPECT_EQ(at.x, x) << client;
        EXPECT_EQ(at.y, y) << client;
    }
    EXPECT_EQ(MinimizedIconPosition(10, 40, 32, 32).x, -10);
}

} // namespace
} // namespace velmora
