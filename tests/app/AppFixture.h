// A main dialog on a game installation of our own: a Wine-style prefix whose registry
// names the game folder, a language module built from a string table, and data files
// written by the fixture builder.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>

#include <filesystem>
#include <memory>

#include "tools/DataFileWriter.h"
#include "tests/support/DialogDriver.h"
#include "app/MainDialog.h"
#include "tests/support/MessageBoxCatcher.h"
#include "resources/ResourceIds.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

namespace velmora::fixtures {

using namespace velmora::datafile;

namespace fs = std::filesystem;
using Ids = MainDialogIds;

inline std::vector<TechSpec> ManyTechs(int count)
{
    std::vector<TechSpec> techs;
    for (int i = 0; i < count; ++i) {
        techs.push_back(NamedTech("Craft " + std::to_string(i)));
    }
    return techs;
}

class AppTest : public ::testing::Test {
protected:
    AppTest()
    {
        fs::create_directories(game / "Data");
        fs::create_directories(prefix / "dosdevices");
        fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
        fs::copy_file(VELMORA_APP_TEST_MODULE, game / "language.dll");
        const std::string reg = "WINE REGISTRY Version 2\n\n#arch=win32\n\n"
                                "[Software\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n"
                                "\"EXE Path\"=\"C:\\\\Games\\\\Test\"\n";
        WriteFile((prefix / "system.reg").string(), std::span(reinterpret_cast<const std::uint8_t*>(reg.data()), reg.size()));
    }

    // Writes a data file; by default at the path the registry composes.
    std::string WriteData(const Bytes& decompressed, std::string name = "brannoch2_x1_p1.dat")
    {
        const std::string path = (game / "Data" / name).string();
        WriteFile(path, DeflateRaw(decompressed));
        return path;
    }

    static Bytes DataFile(const std::vector<EffectSpec>& effects, const std::vector<TechSpec>& techs, std::vector<UnitSpec> units = {})
    {
        // The unit table is as long as the highest unit id needs, so every record is read.
        std::int16_t unitCount = 0;
        for (const UnitSpec& u : units)
            unitCount = std::max<std::int16_t>(unitCount, static_cast<std::int16_t>(u.id + 1));
        DataFileWriter b;
        b.Version().Filler(16).Effects(effects).Filler(8, 2);
        b.Civs({CivSpec{.name = "Gaia", .unitCount = unitCount, .units = std::move(units), .unitCountFromUnits = false}}).Techs(techs);
        return b.Data();
    }

    // Builds the dialog, shows it and makes it active.
    void Open()
    {
        dialog = std::make_unique<MainDialog>();
        Dialog::SetMainWindow(dialog.get());
        ASSERT_TRUE(dialog->Create());
        Window().show();
        ASSERT_TRUE(WaitUntilActive(*dialog));
    }

    ~AppTest() override { Dialog::SetMainWindow(nullptr); }

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

    // Puts the focus in the path box and presses Enter there.
    void EnterInPathBox()
    {
        EditBox(Ids::Path)->setFocus();
        PressKey(Qt::Key_Return);
    }

    // Selects tech list line k as a user would, with a click.
    void SelectTech(int k)
    {
        QListWidget* list = List(Ids::TechList);
        list->scrollToItem(list->item(k));
        const QRect r = list->visualItemRect(list->item(k));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }

    void SelectEffectLine(int i)
    {
        QListWidget* list = List(Ids::EffectList);
        list->scrollToItem(list->item(i));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(i)).center());
    }

    // Replaces a digits-only box's text by typing, as a user does.
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
    ScopedEnv winePrefix{"WINEPREFIX", (dir.Path() / "prefix").string()};
    MessageBoxCatcher messageBoxes;
    std::unique_ptr<MainDialog> dialog;
};

} // namespace velmora::fixtures
