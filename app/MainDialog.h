// The main dialog: the tech list, every field of the selected tech, its effect as lines of
// text, and the commands that load a data file. It owns everything the program holds.
#pragma once

#include <cstdint>
#include <future>
#include <span>
#include <string>

#include "data/DataBuffer.h"
#include "ui/Dialog.h"
#include "views/EffectText.h"
#include "views/TechDetailView.h"
#include "data/GameTables.h"
#include "host/Installation.h"
#include "strings/LanguageModules.h"

namespace velmora {

class MainDialog : public TableDialog<MainDialog> {
public:
    explicit MainDialog(Dialog* owner = nullptr);
    ~MainDialog() override;

    static std::span<const ExchangeRow<MainDialog>> DataExchangeTable();
    static std::span<const EventRow<MainDialog>> EventTable();

    // The installation folder named in the registry ("" when there is none): the search
    // for the installation, which also sets `installation` and `installationProblem`.
    std::string ReadInstallFolder();

    // What the search for the installation finds, with the ANSI code page of its prefix.
    struct InstallationSearch {
        InstallationLookup lookup;
        unsigned codePage = 0;
    };
    static InstallationSearch SearchInstallation();
    // The search, when the program started it on a thread of its own (it reads the
    // prefix's registry, which can be tens of megabytes) while the window is built;
    // OnInitDialog takes its answer. Without one, OnInitDialog searches itself.
    std::future<InstallationSearch> installationSearch;

    // The load chain: inflate the file at `path` into the data buffer (a failure shown in a
    // message box that names the file and the reason), parse it into the tables (its
    // messages shown in message boxes), rebuild the tech list.
    bool LoadDataFile(const std::string& path);
    bool ParseDataFile();
    void FillTechList();

    // Clears the effect list and fills it with the lines of effect `effectNo`.
    void RenderEffectList(std::int64_t effectNo);

    // Handlers, routed by the event table.
    void OnSelChangeTechList();
    void OnChangeEffectNo();
    void OnChangeHelpStringId();
    void OnChangeNameStringId();
    void OnClickedNoAction();
    void OnClickedChange();
    void OnClickedOpen();

    // A data file the program was started with: loaded once the window shows, as if it
    // had been typed into the path box and the open-file button clicked.
    std::string commandLinePath;
    // The file last named by the command line, a drop or the file chooser, as the system's
    // bytes. The path box shows it as the system shows file names, which need not give
    // the bytes back (a name that is not valid UTF-8); while the box shows that text, a
    // load opens these bytes.
    std::string namedPath;

    // The system's file chooser in the folder of the path box's file; the file chosen is
    // loaded as the command line's is.
    void BrowseDataFile();
    // The tech whose list line holds the find box's text: the first one (Typed), or the
    // next or previous one after the selected line, around the list. It is selected as by
    // a click; without one the selection stays and the find box says so.
    void FindTech(FindStep step, const std::string& text);

    // Members, in the order they are built (and destroyed in reverse).
    LanguageModules languageModules;
    std::string installFolder;
    // The installation found: its Wine prefix is the one every Windows path resolves
    // through, the composed ones and those the user types.
    Installation installation;
    // Why no installation with its data file was found, place by place; "" when one was.
    std::string installationProblem;
    GameTables tables;
    Button civCheck;
    Button cost3Check;
    Button cost2Check;
    Button cost1Check;
    Button requiredTechCheck;
    DropDownList civList;
    ListBox effectList;
    DropDownList cost3TypeList;
    DropDownList cost2TypeList;
    DropDownList cost1TypeList;
    ListBox techList;
    std::string pathText;
    std::string requiredTech1Text;
    std::string requiredTech2Text;
    std::string requiredTech3Text;
    std::string requiredTech4Text;
    std::string requiredTech5Text;
    std::string requiredTech6Text;
    std::string cost1AmountText;
    std::string cost2AmountText;
    std::string cost3AmountText;
    std::string researchTimeText;
    std::string effectNoText;
    std::string nameText;
    std::string nameStringIdText;
    std::string locationText;
    std::string buttonSlotText;
    std::string iconIdText;
    std::string helpStringIdText;
    std::string helpText;
    std::string unknown1Text;
    std::string unknown2Text;
    std::string unknown3Text;
    std::string unknown4Text;
    std::string unknown5Text;
    std::string locationNameText;
    DataBuffer dataBuffer;

    // The effect the effect list shows (-1 before the first rendering): "Change" opens
    // the command of the selected line of this effect.
    std::int64_t renderedEffectNo = -1;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool PreTranslateMessage(Key key, int target) override;
    void OnPaintMinimized(MinimizedPaint& paint) override;
    void OnFirstShown() override;
    void OnDropFile(const std::string& path) override;
    void OnFind(FindStep step, const std::string& text) override { FindTech(step, text); }

private:
    std::string LookupString(std::int64_t id) const { return languageModules.LookupString(id); }
    // Takes what the search found; the installation folder.
    std::string TakeInstallation(const InstallationLookup& lookup);
    // Takes the search's installation and code page, the path box's text from them and the
    // language modules, and shows the text.
    void TakeSearch(const InstallationSearch& search);
    StringLookup Lookup() const;
    void RunLoad();
    // The path box's file: namedPath while the box shows it, else the box's text.
    std::string PathToLoad() const;
    // Every detail field shows what `view` holds; an empty view blanks them.
    void ShowTechDetail(const TechDetailView& view);
    // `path` into the path box, then the open-file button's load.
    void OpenPath(const std::string& path);
    // The text of the string id typed into a box, beside it, while a tech is selected.
    void ShowTypedStringId(const std::string& idText, std::string& text);
};

// Where the icon of a minimised window is drawn: centred in the client area, in integer
// arithmetic that truncates toward zero (a 30 x 30 area and a 32 x 32 icon give 0, 0).
struct IconPosition {
    int x;
    int y;
};
IconPosition MinimizedIconPosition(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

} // namespace velmora
