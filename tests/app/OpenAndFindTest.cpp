// The other ways to load a file (the command line, a drop, the file chooser) and the find
// box, on real widgets.
#include "tests/app/AppFixture.h"

#include <QFileDialog>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

#include <future>

namespace velmora {
namespace {

using namespace fixtures;

using OpenAndFindTest = AppTest;

TEST(ProgramArgumentsTest, HelpVersionAndUsage)
{
    struct Row {
        QStringList args;
        int exitCode;
        QString out;  // the start of stdout
        QString err;  // a part of stderr
    };
    const Row rows[] = {
        {{"--help"}, 0, "usage: velmora [DATAFILE]\n", ""},
        {{"-h"}, 0, "usage: velmora [DATAFILE]\n", ""},
        {{"--version"}, 0, "velmora " VELMORA_VERSION "\n", ""},
        {{"--bogus"}, 64, "", "velmora: unknown option '--bogus'\nusage:"},
        {{"a.dat", "b.dat"}, 64, "", "'a.dat' and 'b.dat'"},
        // A terminal is not handed the controls of an argument, nor a backslash that reads as one.
        {{"--\x1b]0;x\x07"}, 64, "", "option '--\\x1b]0;x\\x07'\n"},
        {{"a\\x1b", "\x1b\u202e"}, 64, "", "'a\\\\x1b' and '\\x1b\\u202e'\n"},
    };
    for (const Row& row : rows) {
        QProcess program;
        program.start(VELMORA_PROGRAM, row.args);
        ASSERT_TRUE(program.waitForFinished(10000)) << row.args.join(' ').toStdString();
        EXPECT_EQ(program.exitCode(), row.exitCode) << row.args.join(' ').toStdString();
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        EXPECT_TRUE(row.out.isEmpty() ? out.isEmpty() : out.startsWith(row.out)) << out.toStdString();
        EXPECT_TRUE(row.err.isEmpty() ? err.isEmpty() : err.contains(row.err)) << err.toStdString();
    }
}

TEST_F(OpenAndFindTest, TheCommandLineFileLoadsOnceTheWindowShows)
{
    WriteData(DataFile({}, {NamedTech("Started")}), "start.dat");
    const std::string missing = "C:\\Games\\Test\\Data\\none.dat";
    dialog = std::make_unique<MainDialog>();
    dialog->commandLinePath = missing;
    ASSERT_TRUE(dialog->Create());
    Window().show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !messageBoxes.Texts().isEmpty(); }));
    EXPECT_TRUE(messageBoxes.Texts().front().startsWith(QString::fromStdString(missing + " (")));
    EXPECT_EQ(BoxText(Ids::Path).toStdString(), missing);
    Open("C:\\Games\\Test\\Data\\start.dat");
    EXPECT_TRUE(QTest::qWaitFor([this] { return List(Ids::TechList)->count() == 1; }));
    EXPECT_EQ(BoxText(Ids::Path), "C:\\Games\\Test\\Data\\start.dat");
    EXPECT_EQ(messageBoxes.Texts().size(), 1);
}

TEST_F(OpenAndFindTest, TheProgramsSearchIsTakenBeforeTheWindowsFirstKey)
{
    TechSpec named = NamedTech("Named");
    named.nameStringId = 7001;
    WriteData(DataFile({}, {named}), "start.dat");
    const std::string composed = DataFilePath("C:\\Games\\Test");
    // A search that has ended by the time the dialog is built is taken at once; one still
    // running, once the window is drawn: then the path box has its text and the language
    // modules are there before the command line's file loads.
    for (const bool ended : {true, false}) {
        SCOPED_TRACE(ended);
        dialog = std::make_unique<MainDialog>();
        dialog->commandLinePath = "C:\\Games\\Test\\Data\\start.dat";
        dialog->installationSearch = std::async(ended ? std::launch::async : std::launch::deferred, &MainDialog::SearchInstallation);
        if (ended)
            dialog->installationSearch.wait();
        Dialog::SetMainWindow(dialog.get());
        ASSERT_TRUE(dialog->Create());
        EXPECT_EQ(BoxText(Ids::Path).toStdString(), ended ? composed : "");
        Window().show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return List(Ids::TechList)->count() == 1; }));
        SelectTech(0);
        EXPECT_EQ(BoxText(Ids::Name), "Lantern Oil");
        EXPECT_EQ(dialog->installFolder, "C:\\Games\\Test");
        Dialog::SetMainWindow(nullptr);
        dialog.reset();
    }
}

TEST_F(OpenAndFindTest, DroppingOneLocalFileLoadsItAndNothingElseDoes)
{
    WriteData(DataFile({}, {NamedTech("Dropped")}), "drop.dat");
    const QUrl file = QUrl::fromLocalFile(QString::fromStdString((game / "Data" / "drop.dat").string()));
    struct Row {
        QList<QUrl> urls;
        QString text;
        bool taken;  // one local file alone: the window takes the drag
        bool loads;
    };
    const Row rows[] = {
        {{file, file}, "", false, false},
        {{}, file.toLocalFile(), false, false},
        {{QUrl("https://example.org/drop.dat")}, "", false, false},
        {{QUrl::fromLocalFile(QString::fromStdString(game.string()))}, "", false, false},
        {{QUrl("file://elsewhere" + file.path())}, "", false, false},
        {{QUrl("file://localhost" + file.path())}, "", true, true},
    };
    Open();
    for (const Row& row : rows) {
        QMimeData data;
        if (!row.urls.isEmpty())
            data.setUrls(row.urls);
        if (!row.text.isEmpty())
            data.setText(row.text);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();  // as the window system hands it over
        QApplication::sendEvent(&Window(), &enter);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Item(Ids::TechList), &drop);
        EXPECT_EQ(enter.isAccepted(), row.taken) << row.urls.size();
        EXPECT_EQ(Lines(Ids::TechList), row.loads ? QStringList{"000:Dropped"} : QStringList{}) << row.urls.size();
    }
    EXPECT_EQ(BoxText(Ids::Path), file.toLocalFile());
    EXPECT_TRUE(messageBoxes.Texts().isEmpty());
}

// A name that is not UTF-8 loads as the system's bytes, shown as the file chooser shows it.
TEST_F(OpenAndFindTest, AFileNameThatIsNotUtf8Loads)
{
    const std::string path = (game / "Data" / "x\xff.dat").string();
    WriteData(DataFile({}, {NamedTech("Bytes")}), "x\xff.dat");
    Open(path);
    ASSERT_TRUE(QTest::qWaitFor([this] { return List(Ids::TechList)->count() == 1; }));
    EXPECT_EQ(BoxText(Ids::Path), QString::fromStdString((game / "Data").string()) + "/x\uFFFD.dat");
    WriteData(DataFile({}, {NamedTech("Dropped")}), "x\xff.dat");
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Window(), &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Item(Ids::TechList), &drop);
    EXPECT_EQ(Lines(Ids::TechList), QStringList{"000:Dropped"});
    WriteData(DataFile({}, {NamedTech("Entered")}), "x\xff.dat");
    EnterInPathBox();  // the box still shows the name
    EXPECT_EQ(Lines(Ids::TechList), QStringList{"000:Entered"});
    EXPECT_TRUE(messageBoxes.Texts().isEmpty());
}

TEST_F(OpenAndFindTest, CtrlOChoosesAFileFromTheFolderOfThePathBox)
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    WriteData(DataFile({}, {NamedTech("Chosen")}), "chosen.dat");
    const QString chosen = QString::fromStdString((game / "Data" / "chosen.dat").string());
    Open();
    const QString start = BoxText(Ids::Path);
    for (bool accept : {false, true}) {
        QString folder;
        QTimer::singleShot(0, [&] {
            QFileDialog* chooser = nullptr;
            const bool open = QTest::qWaitFor([&] {
                for (QWidget* window : QApplication::topLevelWidgets())
                    if (auto* found = qobject_cast<QFileDialog*>(window); found != nullptr && found->isVisible())
                        chooser = found;
                return chooser != nullptr;
            });
            if (!open)
                return;
            folder = chooser->directory().canonicalPath();
            chooser->selectFile(chosen);
            QDialog& dialogOfChooser = *chooser;  // accept() is public there
            accept ? dialogOfChooser.accept() : dialogOfChooser.reject();
        });
        QTest::keyClick(Item(Ids::Path), Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(folder.toStdString(), fs::canonical(game / "Data").string());
        EXPECT_EQ(BoxText(Ids::Path), accept ? chosen : start);
        EXPECT_EQ(Lines(Ids::TechList), accept ? QStringList{"000:Chosen"} : QStringList{});
    }
}

TEST_F(OpenAndFindTest, TheFindBoxSelectsTechsByAPartOfTheirLine)
{
    const char* names[] = {"Bronze Working", "Écriture", "日本刀", "Iron Casting", "Casting Bronze"};
    std::vector<TechSpec> techs;
    for (const char* name : names) {
        techs.push_back(NamedTech(name));
        techs.back().researchTime = static_cast<std::int16_t>(10 + techs.size());
    }
    WriteData(DataFile({}, techs));
    Open();
    EnterInPathBox();
    PressKey(Qt::Key_F, Qt::ControlModifier);
    QLineEdit* box = Window().FindBox();
    ASSERT_TRUE(box != nullptr && box->isVisible() && box->hasFocus());
    const QColor normal = box->palette().color(QPalette::Base);
    struct Step {
        QString typed;  // replaces the box's text; empty: press `key`
        int key;
        Qt::KeyboardModifiers modifiers;
        int line;  // selected afterwards
        bool found = true;
    };
    const Step steps[] = {
        {"éCRI", 0, {}, 1},
        {"刀", 0, {}, 2},
        {"CASTING", 0, {}, 3},
        {"", Qt::Key_Return, {}, 4},
        {"", Qt::Key_F3, {}, 3},
        {"", Qt::Key_F3, Qt::ShiftModifier, 4},
        {"", Qt::Key_F3, Qt::ShiftModifier, 3},
        {"bronze", 0, {}, 0},
        {"", Qt::Key_F3, Qt::ShiftModifier, 4},
        {"bronzes", 0, {}, 0, false},  // "bronze" selected line 0 on the way
        {"", Qt::Key_F3, {}, 0, false},
        {"00", 0, {}, 0},  // every line
        {"", Qt::Key_F3, {}, 1},
        {"", Qt::Key_F3, Qt::ShiftModifier, 0},
        {"", Qt::Key_F3, Qt::ControlModifier, 0},  // not a key of the box
        {"刀", 0, {}, 2},
        {"", Qt::Key_F3, {}, 2},  // around the whole list to itself
    };
    for (const Step& step : steps) {
        if (!step.typed.isEmpty()) {
            box->clear();
            for (QChar c : step.typed) {  // keys that bring their text, whatever the script
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(box, &press);
            }
        } else {
            QTest::keyClick(box, static_cast<Qt::Key>(step.key), step.modifiers);
        }
        EXPECT_EQ(List(Ids::TechList)->currentRow(), step.line) << step.typed.toStdString() << step.key;
        EXPECT_EQ(BoxText(Ids::ResearchTime), QString::number(11 + step.line)) << step.typed.toStdString() << step.key;
        EXPECT_EQ(box->palette().color(QPalette::Base) == normal, step.found) << step.typed.toStdString() << step.key;
    }
    PressKey(Qt::Key_F, Qt::ControlModifier);  // while the box is open
    EXPECT_EQ(box->selectedText(), "刀");
    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Item(Ids::Path)) << "the focus is back where it was";

    // Outside the box F3 and Shift+F3 find its text, and open it when it has none.
    box->setText("00");  // every line
    SelectTech(0);
    for (const auto& [modifiers, line] : {std::pair{Qt::NoModifier, 1}, {Qt::NoModifier, 2}, {Qt::ShiftModifier, 1}}) {
        QTest::keyClick(Item(Ids::TechList), Qt::Key_F3, modifiers);
        EXPECT_EQ(List(Ids::TechList)->currentRow(), line);
    }
    EXPECT_FALSE(box->isVisible());
    PressKey(Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);  // the text was selected
    EXPECT_EQ(box->palette().color(QPalette::Base), normal) << "an empty box finds nothing and says nothing";
    PressKey(Qt::Key_Escape);
    QTest::keyClick(Item(Ids::TechList), Qt::Key_F3);
    EXPECT_TRUE(box->isVisible());
}

} // namespace
} // namespace velmora
