// The backend-neutral rules of the dialogs' look: how far a caption is condensed, and
// which face a dialog is drawn in where the system maps fonts.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ui/CaptionFit.h"
#include "ui/DialogFace.h"

namespace velmora {
namespace {

TEST(CaptionFitTest, CondensedJustEnoughDownTo80Percent)
{
    const struct {
        int room;
        int extent;  // at the font's own width; narrower fonts are proportionally narrower
        int percent;
    } rows[] = {
        {100, 100, 100}, {100, 60, 100}, {96, 100, 96}, {95, 103, 93}, {80, 100, 80}, {79, 100, 80}, {0, 100, 80}, {100, 0, 100},
    };
    for (const auto& row : rows) {
        int measured = 0;
        const int percent = CaptionStretch(row.room, [&](int p) { ++measured; return row.extent * p / 100; });
        EXPECT_EQ(percent, row.percent) << row.room << " " << row.extent;
        EXPECT_LE(measured, 6) << "the search starts near the estimate";
    }
    // Hinting makes widths jump: the widest width that fits is taken, even above the estimate.
    EXPECT_EQ(CaptionStretch(90, [](int p) { return p >= 93 ? 100 : 89; }), 92);
}

TEST(DialogFaceTest, TheTemplatesFaceOrTheSystemsDialogFont)
{
    const std::string japanese = "ＭＳ Ｐゴシック";
    const struct {
        const char* what;
        std::set<std::string> installed;
        std::map<std::string, std::string> substitutes;
        std::string face;
    } rows[] = {
        {"installed", {japanese, "Tahoma"}, {{"MS Shell Dlg 2", "Tahoma"}}, japanese},
        {"mapped to an installed face", {"IPAPGothic", "Tahoma"}, {{japanese, "IPAPGothic"}, {"MS Shell Dlg 2", "Tahoma"}}, japanese},
        {"mapped to a face not installed", {"Tahoma"}, {{japanese, "IPAPGothic"}, {"MS Shell Dlg 2", "Tahoma"}}, "Tahoma"},
        {"unknown", {"Segoe UI", "Tahoma"}, {{"MS Shell Dlg 2", "Segoe UI"}}, "Segoe UI"},
        {"the older dialog font", {"MS Sans Serif", "Arial"}, {{"MS Shell Dlg 2", "Tahoma"}, {"MS Shell Dlg", "MS Sans Serif"}}, "MS Sans Serif"},
        {"no dialog font installed", {"DejaVu Math TeX Gyre", "DejaVu Sans"}, {{"MS Shell Dlg 2", "Tahoma"}}, "DejaVu Sans"},
        {"nothing installed", {}, {{"MS Shell Dlg 2", "Tahoma"}}, japanese},
    };
    for (const auto& row : rows) {
        const FontCatalog catalog{
            [&](std::string_view face) { return row.installed.count(std::string(face)) != 0; },
            [&](std::string_view face) {
                const auto found = row.substitutes.find(std::string(face));
                return found != row.substitutes.end() ? found->second : std::string();
            },
        };
        EXPECT_EQ(ChooseDialogFace(japanese, catalog), row.face) << row.what;
    }
}

} // namespace
} // namespace velmora
