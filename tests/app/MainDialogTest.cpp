// The main dialog on real widgets: start-up, the load commands, Escape and closing.
#include "tests/app/AppFixture.h"

#include <QAbstractButton>
#include <QProcess>

#include <fstream>

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
    EXPECT_EQ(BoxText(Ids::Path), "\\Data\\brannoch2_x1_p1.dat");
    EXPECT_EQ(dialog->languageModules.moduleCount, 0);
}

TEST_F(MainDialogTest, WithoutWinePrefixTheFirstPrefixWithTheGamesDataFileServesEveryPath)
{
    // ~/.wine's registry still names a game whose files are gone; a bottle after it has both.
    MakeWinePrefix(dir.Path() / ".wine", HiveNaming("C:\\Games\\Gone"));
    fs::create_directories(dir.Path() / ".local/share/bottles/bottles");
    fs::create_directory_symlink(prefix, dir.Path() / ".local/share/bottles/bottles/game");
    // Its names are in its own code page, 932.
    std::ofstream(prefix / "system.reg", std::ios::app) << "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1\n\"ACP\"=\"932\"\n";
    WriteData(DataFile({}, {NamedTech("Bottled \x93\xFA\x96\x7B")}));
    ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    ScopedEnv home("HOME", dir.Path().string());
    Open();
    EXPECT_EQ(dialog->installFolder, "C:\\Games\\Test");
    EXPECT_EQ(dialog->installation.prefix, (dir.Path() / ".local/share/bottles/bottles/game").string());
    EXPECT_EQ(dialog->languageModules.LookupString(12), "Id twelve");
    EnterInPathBox();
    EXPECT_EQ(Lines(Ids::TechList), QStringList{"000:Bottled 日本"});
    EXPECT_TRUE(messageBoxes.Texts().isEmpty());
}

// Without a usable installation the stale one's path is shown, and its load failure says
// where the search looked and why each place was passed over.
TEST_F(MainDialogTest, WithoutAUsableInstallationTheLoadFailureNamesEveryPlaceSearched)
{
    MakeWinePrefix(dir.Path() / ".wine", HiveNaming("C:\\Games\\Gone"));
    ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
    ScopedEnv home("HOME", dir.Path().string());
    Open();
    EXPECT_EQ(BoxText(Ids::Path), "C:\\Games\\Gone\\Data\\brannoch2_x1_p1.dat");
    EnterInPathBox();
    ASSERT_EQ(messageBoxes.Texts().size(), 1);
    const QStringList lines = messageBoxes.Texts()[0].split('\n');
    ASSERT_EQ(lines.size(), 15);
    EXPECT_TRUE(lines[0].endsWith("cannot open the data file: No such file or directory")) << lines[0].toStdString();
    EXPECT_EQ(lines[2], "No installation of the game with its data file was found: none of the 12 places searched holds the game with its data file:");
    EXPECT_EQ(lines[3].toStdString(), "  ~/.wine: " + (dir.Path() / ".wine").string() + ": the registry names C:\\Games\\Gone, but its data file is missing");
    EXPECT_EQ(lines[14].toStdString(), "  CrossOver: " + (dir.Path() / ".cxoffice").string() + ": no such folder");
    // A path the user typed fails with its own reason alone.
    TypeInto(Ids::Path, "C:\\Games\\Gone\\other.dat");
    QTest::mouseClick(Item(Ids::Open), Qt::LeftButton);
    ASSERT_EQ(messageBoxes.Texts().size(), 2);
    EXPECT_FALSE(messageBoxes.Texts()[1].contains("No installation"));
}

TEST_F(MainDialogTest, EnterLoadsOnlyFromThePathBox)
{
    std::vector<TechSpec> techs = ManyTechs(460);
    techs[123].researchTime = 123;
    WriteData(DataFile({}, techs));
    Open();
    Item(Ids::TechList)->setFocus();
    PressKey(Qt::Key_Return);
    EXPECT_EQ(List(Ids::TechList)->count(), 0);
    EXPECT_EQ(dialog->dataBuffer.length, 0);
    EditBox(Ids::Path)->setFocus();
    PressKey(Qt::Key_Enter, Qt::KeypadModifier);
    const QStringList lines = Lines(Ids::TechList);
    ASSERT_EQ(lines.size(), 460);
    for (int i = 0; i < 460; ++i)
        ASSERT_EQ(lines[i], QString::asprintf("%03d:Craft %d", i, i));
    EXPECT_TRUE(messageBoxes.Texts().isEmpty());
    SelectTech(123);
    EXPECT_EQ(BoxText(Ids::ResearchTime), "123");
}

TEST_F(MainDialogTest, TheOpenButtonLoadsThePathTheUserTyped)
{
    WriteData(DataFile({}, {NamedTech("Other file")}), "other.dat");
    WriteData(DataFile({}, {NamedTech("Second \xE2\x80\xAE\x1b\\")}), "second.dat");  // shown as the text dump shows it
    Open();
    TypeInto(Ids::Path, "C:\\Games\\Test\\Data\\OTHER.DAT");
    QTest::mouseClick(Item(Ids::Open), Qt::LeftButton);
    EXPECT_EQ(Lines(Ids::TechList), QStringList{"000:Other file"});
    EXPECT_EQ(BoxText(Ids::Path), "C:\\Games\\Test\\Data\\OTHER.DAT");
    // Enter on the focused button is a click on it.
    TypeInto(Ids::Path, "C:\\Games\\Test\\Data\\second.dat");
    Item(Ids::Open)->setFocus();
    PressKey(Qt::Key_Return);
    EXPECT_EQ(Lines(Ids::TechList), QStringList{"000:Second \\u202e\\x1b\\"});
}

// A file that does not load shows one box naming the file and the reason; one that does
// not parse shows its message. Either way the typed path and the previous list stay.
TEST_F(MainDialogTest, AFileThatDoesNotLoadOrParseLeavesThePreviousList)
{
    WriteData(DataFile({}, ManyTechs(2)));
    DataFileWriter bad;
    bad.Version("VER 5.6").Zeros(8).Civs({CivSpec{.name = "Gaia"}}).Techs({NamedTech("Never")});
    WriteData(bad.Data(), "old.dat");
    Open();
    EnterInPathBox();
    TypeInto(Ids::Path, "C:\\Games\\Test\\Data\\missing.dat");
    PressKey(Qt::Key_Return);
    const fs::path found = prefix / "dosdevices" / "c:" / "Games" / "Test" / "Data" / "missing.dat";
    const QString missing = QString::fromStdString("C:\\Games\\Test\\Data\\missing.dat (" + found.string() +
                                                   "): cannot open the data file: No such file or directory");
    ASSERT_EQ(messageBoxes.Texts(), QStringList{missing});
    EXPECT_EQ(BoxText(Ids::Path), "C:\\Games\\Test\\Data\\missing.dat");
    EXPECT_EQ(Lines(Ids::TechList), (QStringList{"000:Craft 0", "001:Craft 1"}));
    TypeInto(Ids::Path, "C:\\Games\\Test\\Data\\old.dat");
    QTest::mouseClick(Item(Ids::Open), Qt::LeftButton);
    ASSERT_EQ(messageBoxes.Texts(), (QStringList{missing, "Version error"}));
    const MessageBoxCatcher::Shown& box = messageBoxes.Boxes()[1];
    EXPECT_EQ(box.owner, &Window());
    EXPECT_EQ(box.title, "Velmora");
    EXPECT_TRUE(box.onlyOk && !box.hasIcon && box.modal);
    EXPECT_FALSE(messageBoxes.Boxes()[0].busyCursor || box.busyCursor) << "the wait cursor is for the load alone";
    EXPECT_EQ(messageBoxes.OpenCount(), 0);
    EXPECT_EQ(Lines(Ids::TechList), (QStringList{"000:Craft 0", "001:Craft 1"}));
    // The installation's own file failing is no failure of the search.
    WriteFile((game / "Data/brannoch2_x1_p1.dat").string(), Bytes{0xFF, 0xFF});
    TypeInto(Ids::Path, "C:\\Games\\Test\\Data\\brannoch2_x1_p1.dat");
    QTest::mouseClick(Item(Ids::Open), Qt::LeftButton);
    ASSERT_EQ(messageBoxes.Texts().size(), 3);
    EXPECT_FALSE(messageBoxes.Texts()[2].contains("No installation")) << messageBoxes.Texts()[2].toStdString();
}

TEST_F(MainDialogTest, EscapeNeverClosesTheDialogAndAddAndDeleteCannotBeClicked)
{
    Open();
    for (int id : {Ids::TechList, Ids::Path, Ids::EffectNo, Ids::CivList}) {
        Item(id)->setFocus();
        PressKey(Qt::Key_Escape);
        EXPECT_TRUE(Window().isVisible()) << id;
    }
    for (int id : {Ids::Add, Ids::Delete}) {
        auto* button = static_cast<QAbstractButton*>(Item(id));
        bool clicked = false;
        QObject::connect(button, &QAbstractButton::clicked, [&clicked] { clicked = true; });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(clicked || button->isEnabled()) << id;
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
    EXPECT_EQ(dialog->dataBuffer.bytes, nullptr);
}

TEST(MinimizedIconTest, CentredWithTruncatingDivision)
{
    const std::pair<int, int> rows[] = {{36, 2}, {35, 2}, {31, 0}, {30, 0}};
    for (const auto& [client, at] : rows) {
        EXPECT_EQ(MinimizedIconPosition(client, client, 32, 32).x, at) << client;
        EXPECT_EQ(MinimizedIconPosition(client, client, 32, 32).y, at) << client;
    }
    EXPECT_EQ(MinimizedIconPosition(10, 40, 32, 32).x, -10);
}

} // namespace
} // namespace velmora
