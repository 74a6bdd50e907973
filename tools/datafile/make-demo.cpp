// Writes the demo installation: a Wine-style prefix whose registry names the game folder,
// and in it a generated data file of realistic size. Every name in it is invented.
//
//   make-demo PREFIX              the prefix, its registry and the data file
//   make-demo --language-rc DIR   the string tables of the three language modules, as
//                                 .rc files that the build compiles and links into DLLs
//   make-demo --patched FILE      a second version of the data file, with a few balance
//                                 changes, to compare with the first
//   make-demo --code-page-names FILE   a small data file whose tech names are bytes in the
//                                 code pages 932 and 1252, valid and not
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/datafile/DataFileWriter.h"

namespace fs = std::filesystem;

namespace {

// The string ids the demo data file uses (see RealisticDataFile): tech names 7000 + t and
// help texts 28000 + t for t < 460, unit names 5000 + u for u < 700.
constexpr int TechCount = 460;
constexpr int UnitCount = 700;
constexpr int TechNameBase = 7000;
constexpr int TechHelpBase = 28000;
constexpr int UnitNameBase = 5000;

// 23 x 20 = 460 tech names, 35 x 20 = 700 unit names, all different.
const char* const TechFirst[] = {
    "Stone", "River", "Iron", "Amber", "Cedar", "Copper", "Harbor", "Lantern", "Meadow", "Quarry", "Salt", "Willow",
    "Granite", "Orchard", "Beacon", "Marsh", "Timber", "Flint", "Pasture", "Tide", "Ember", "Hollow", "Summit",
};
const char* const TechSecond[] = {
    "Working", "Craft", "Lore", "Roads", "Granaries", "Looms", "Bellows", "Terraces", "Charts", "Kilns",
    "Wells", "Bridges", "Walls", "Mills", "Ledgers", "Signals", "Furnaces", "Canals", "Markets", "Archives",
};
const char* const UnitFirst[] = {
    "Scout", "Archer", "Warden", "Courier", "Builder", "Lancer", "Ranger", "Herald", "Sentinel", "Rider",
    "Slinger", "Pikeman", "Forager", "Mason", "Sapper", "Skiff", "Barge", "Galley", "Catapult", "Ram",
    "Healer", "Scribe", "Drover", "Trapper", "Fisher", "Porter", "Keeper", "Marksman", "Vanguard", "Outrider",
    "Bowyer", "Shieldbearer", "Pathfinder", "Tracker", "Envoy",
};
const char* const UnitSecond[] = {
    "", "Elite ", "Veteran ", "Young ", "Hill ", "Coast ", "Forest ", "Desert ", "Winter ", "River ",
    "Royal ", "Border ", "Highland ", "Lowland ", "Marsh ", "Steppe ", "Island ", "Valley ", "Mountain ", "Plains ",
};
const char* const HelpPhrases[] = {
    "raises the gathering rate of nearby workers",
    "lets builders raise sturdier walls",
    "shortens the time needed to train soldiers",
    "gives scouts a wider line of sight",
    "makes markets trade at better prices",
    "strengthens ships against storms",
    "adds a second row of fields to every farm",
    "lets healers tend the wounded faster",
};

std::string TechName(int t)
{
    // A few accented names, to show the text conversion.
    if (t == 12)
        return "Fa\xc3\xa7" "ade Masonry";
    if (t == 13)
        return "Pi\xc3\xb1on Groves";
    return std::string(TechFirst[t % 23]) + " " + TechSecond[(t / 23) % 20];
}

std::string UnitName(int u)
{
    return std::string(UnitSecond[(u / 35) % 20]) + UnitFirst[u % 35];
}

std::string TechHelp(int t, const std::string& name)
{
    return "Research " + name + ": " + HelpPhrases[t % 8] + ".";
}

struct Entry {
    int id;
    std::string text;
};

// One string table in the neutral language. Texts must not hold '"' or '\'.
void WriteRc(const fs::path& path, const std::vector<Entry>& entries)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "LANGUAGE 0, 0\nSTRINGTABLE\nBEGIN\n";
    for (const Entry& e : entries)
        out << "  " << e.id << ", \"" << e.text << "\"\n";
    out << "END\n";
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

// The base module holds every text; the expansion renames its own techs and units; the
// patch corrects a few names and leaves one empty, so that the next module answers.
void WriteLanguageRc(const fs::path& dir)
{
    fs::create_directories(dir);
    std::vector<Entry> base;
    for (int t = 0; t < TechCount; ++t) {
        base.push_back({TechNameBase + t, TechName(t)});
        base.push_back({TechHelpBase + t, TechHelp(t, TechName(t))});
    }
    for (int u = 0; u < UnitCount; ++u)
        base.push_back({UnitNameBase + u, UnitName(u)});
    WriteRc(dir / "language.rc", base);

    std::vector<Entry> expansion;
    for (int t = 400; t < TechCount; ++t) {
        const std::string name = "Expedition " + TechName(t);
        expansion.push_back({TechNameBase + t, name});
        expansion.push_back({TechHelpBase + t, TechHelp(t, name)});
    }
    for (int u = 600; u < UnitCount; ++u)
        expansion.push_back({UnitNameBase + u, "Expedition " + UnitName(u)});
    WriteRc(dir / "language_x1.rc", expansion);

    std::vector<Entry> patch;
    for (int t : {0, 1, 2, 100, 450})
        patch.push_back({TechNameBase + t, "Revised " + TechName(t)});
    patch.push_back({TechNameBase + 5, ""});
    patch.push_back({UnitNameBase + 0, "Trailblazer"});
    WriteRc(dir / "language_x1_p1.rc", patch);
}

// The data file stores plain internal names; the language modules hold the shown ones. The
// patched version is a balance update of the same file: 20 techs researched faster and
// at other costs, one renamed, one effect's amounts changed.
void WriteDataFile(const fs::path& path, bool patched)
{
    velmora::datafile::RealisticOptions options;
    options.techName = [](int t) { return std::string(TechFirst[t % 23]) + " " + TechSecond[(t / 23) % 20]; };
    if (patched) {
        options.patch = [](std::vector<velmora::datafile::EffectSpec>& effects, std::vector<velmora::datafile::TechSpec>& techs) {
            for (std::size_t t = 5; t < techs.size() && t < 5 + 20 * 21; t += 21) {
                techs[t].researchTime = static_cast<std::int16_t>(techs[t].researchTime - 5);
                techs[t].cost[0].amount = static_cast<std::int16_t>(techs[t].cost[0].amount + 25);
            }
            techs[47].cost[1].type = 3;
            techs[130].name = "Tide Charts Revised";
            for (auto& command : effects[7].commands)
                command.data4 += 1.0f;
        };
    }
    fs::create_directories(path.parent_path());
    velmora::datafile::WriteFile(path.string(), velmora::datafile::DeflateRaw(velmora::datafile::RealisticDataFile(options)));
}

// Names as a Japanese and a western system write them, and bytes that make no character.
void WriteCodePageNames(const fs::path& path)
{
    std::vector<velmora::datafile::TechSpec> techs;
    for (const char* name : {"\x93\xFA\x96\x7B\x93\x81", "\xB1\xDD\xC4\xDE", "\x87\x40\xFA\x40\xF0\x40", "Caf\xE9 \x80",
                             "\x81\x8D\x8F\x90\x9D", "\x82\x41\x82", "\x80\xA0\xFD\xFF", "\xE6\x97\xA5 plain UTF-8"})
        techs.push_back(velmora::datafile::NamedTech(name));
    velmora::datafile::WriteFile(path.string(), velmora::datafile::DeflateRaw(velmora::datafile::MinimalDataFile(techs)));
}

void WritePrefix(const fs::path& prefix)
{
    const fs::path game = prefix / "drive_c" / "Games" / "Brannoch";
    fs::create_directories(game / "Data");
    fs::create_directories(prefix / "dosdevices");
    const fs::path driveC = prefix / "dosdevices" / "c:";
    if (!fs::is_symlink(driveC))
        fs::create_directory_symlink("../drive_c", driveC);

    WriteDataFile(game / "Data" / "brannoch2_x1_p1.dat", false);

    // A 64-bit prefix, as Wine makes by default (so the 64-bit Windows build runs in it),
    // with the key where the game's 32-bit installer writes it.
    const std::string reg =
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to \\\\Machine\n"
        "\n"
        "#arch=win64\n"
        "\n"
        "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Brannoch\\\\1.0] 1700000000\n"
        "#time=1da0a0a0a0a0a0a\n"
        "\"EXE Path\"=\"C:\\\\Games\\\\Brannoch\"\n";
    velmora::datafile::WriteFile((prefix / "system.reg").string(),
                                 std::span(reinterpret_cast<const std::uint8_t*>(reg.data()), reg.size()));
    std::printf("demo installation written to %s\n", prefix.string().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    const std::string option = argc == 3 ? argv[1] : "";
    if (argc != 2 && option != "--language-rc" && option != "--patched" && option != "--code-page-names") {
        std::fprintf(stderr, "usage: make-demo PREFIX\n       make-demo --language-rc DIR\n       make-demo --patched FILE\n"
                             "       make-demo --code-page-names FILE\n");
        return 64;
    }
    try {
        if (option == "--language-rc")
            WriteLanguageRc(argv[2]);
        else if (option == "--patched")
            WriteDataFile(argv[2], true);
        else if (option == "--code-page-names")
            WriteCodePageNames(argv[2]);
        else
            WritePrefix(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-demo: %s\n", e.what());
        return 1;
    }
    return 0;
}
