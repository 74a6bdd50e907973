// A main dialog on a game installation of our own: a Wine-style prefix whose registry
// names the game folder, a language module built from a string table, and data files
// written by the data-file writer.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>

#include <filesystem>
#include <memory>

#include "app/MainDialog.h"
#include "resources/ResourceIds.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageBoxCatcher.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tools/datafile/DataFileWriter.h"

namespace velmora::fixtures {

using namespace velmora::datafile;
namespace fs = std::filesystem;
using Ids = MainDialogIds;

inline std::vector<TechSpec> ManyTechs(int count)
{
    std::vector<TechSpec> techs;
    for (int i = 0; i < count; ++i)
        techs.push_back(NamedTech("Craft " + std::to_string(i)));
    return techs;
}

class AppTest : public ::testing::Test {
protected:
    AppTest()
    {
        MakeWinePrefix(prefix, HiveNaming("C:\\Games\\Test"));
        fs::create_directories(game / "Data");
        fs::copy_file(VELMORA_APP_TEST_MODULE, game / "language.dll");
    }
    ~AppTest() override { Dialog::SetMainWindow(nullptr); }

    // Writes a data file; by default at the path the registry composes.
    void WriteData(const Bytes& decompressed, const std::string& name = "brannoch2_x1_p1.dat")
    {
        WriteFile((game / "Data" / name).string(), DeflateRaw(decompressed));
    }

    // Effects, one civilization with the given unit records, techs. The unit table is as
    // long as the highest unit id needs, so every record is read.
    static Bytes DataFile(const std::vector<EffectSpec>& effects, const std::vector<TechSpec>& techs, std::vector<UnitSpec> units = {})
    {
        CivSpec gaia{.name = "Gaia", .unitCountFromUnits = false};
        for (const UnitSpec& u : units)
            gaia.unitCount = std::max<std::int16_t>(gaia.unitCount, static_cast<std::int16_t>(u.id + 1));
        gaia.units = std::move(units);
        DataFileWriter b;
        b.Version().Filler(16).Effects(effects).Filler(8, 2).Civs({gaia}).Techs(techs);
        return b.Data();
    }

    // Builds the dialog as the program's main window, shows it and makes it active.
    void Open(const std::string& commandLinePath = {})
    {
        dialog = std::make_unique<MainDialog>();
        dialog->commandLinePath = commandLinePath;
        Dialog::SetMainWindow(dialog.get());
        ASSERT_TRUE(dialog->Create());
        Window().show();
        ASSERT_TRUE(WaitUntilActive(*dialog));
    }

    QtDialogWindow& Window() const { return WindowOf(*dialog); }
    QWidget* Item(int id) const { return WidgetOf(*dialog, id); }
    QLineEdit* EditBox(int id) const { return static_cast<QLineEdit*>(Item(id)); }
    QString BoxText(int id) const { return EditBox(id)->text(); }
    QListWidget* List(int id) const { return static_cast<QListWidget*>(Item(id)); }
    QStringList Lines(int id) const
    {
        QStringList lines;
        for (int i = 0; i < List(id)->count(); ++i)
            lines << List(id)->item(i)->text();
        return lines;
    }

    void EnterInPathBox()
    {
        EditBox(Ids::Path)->setFocus();
        PressKey(Qt::Key_Return);
    }

    // Clicks line `row` of a list box, as a user does.
    void ClickLine(int id, int row)
    {
        QListWidget* list = List(id);
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(row)).center());
    }
    void SelectTech(int k) { ClickLine(Ids::TechList, k); }

    // Replaces a box's text by typing, as a user does.
    void TypeInto(int id, const QString& text)
    {
        QLineEdit* box = EditBox(id);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }

    TempDir dir;
    fs::path prefix = dir.Path() / "prefix";
    fs::path game = prefix / "drive_c" / "Games" / "Test";
    ScopedEnv winePrefix{"WINEPREFIX", prefix.string()};
    MessageBoxCatcher messageBoxes;
    std::unique_ptr<MainDialog> dialog;
};

} // namespace velmora::fixtures
