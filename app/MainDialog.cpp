#include "app/MainDialog.h"

#include <chrono>
#include <filesystem>
#include <variant>

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "resources/DialogTemplates.h"
#include "editor/EffectDialog.h"
#include "host/CodePage.h"
#include "host/HostPath.h"
#include "host/Installation.h"
#include "ui/Application.h"
#include "views/TableBounds.h"
#include "views/TechDetailView.h"
#include "views/TextForms.h"

namespace velmora {

namespace {

using Ids = MainDialogIds;

bool HasSelection(const ListBox& list) { return list.GetCurSel() >= 0; }

// The find box sits in the free corner right of the open-file button.
constexpr DialogRect FindBoxPlace{318, 7, 74, 12};

constexpr FileType DataFileTypes[] = {{"Data files", "*.dat"}, {"All files", "*"}};

// A message box names this many of the places searched, then how many more.
constexpr std::size_t MaxPlacesShown = 20;

// The folder of a file's path, as UTF-8 whatever the system's code page.
std::string FolderOf(const std::string& path)
{
    const std::u8string folder = std::filesystem::path(std::u8string(path.begin(), path.end())).parent_path().u8string();
    return std::string(folder.begin(), folder.end());
}

// A detail field into the member that shows it: the text into a box's member, the
// selection and the tick straight into the control.
void Show(std::string& text, const ShownField& field) { text = field.text; }
void Show(DropDownList& list, const ShownField& field) { list.SetCurSel(field.selection); }
void Show(Button& check, const ShownField& field) { check.SetCheck(field.checked ? CheckMark::Checked : CheckMark::Unchecked); }
void Show(ListBox&, const ShownField&) {}  // no detail field is a list box

using Row = ExchangeRow<MainDialog>;
using D = MainDialog;

// The data exchange, in the dialog's order. Each row names its member: the tech detail
// fields find the members that show them by these names (TechField::member).
constexpr Row ExchangeRows[] = {
    DdxControl(Ids::CivCheck, &D::civCheck, "civCheck"),
    DdxControl(Ids::Cost3Check, &D::cost3Check, "cost3Check"),
    DdxControl(Ids::Cost2Check, &D::cost2Check, "cost2Check"),
    DdxControl(Ids::Cost1Check, &D::cost1Check, "cost1Check"),
    DdxControl(Ids::RequiredTechCheck, &D::requiredTechCheck, "requiredTechCheck"),
    DdxControl(Ids::CivList, &D::civList, "civList"),
    DdxControl(Ids::EffectList, &D::effectList, "effectList"),
    DdxControl(Ids::Cost3Type, &D::cost3TypeList, "cost3TypeList"),
    DdxControl(Ids::Cost2Type, &D::cost2TypeList, "cost2TypeList"),
    DdxControl(Ids::Cost1Type, &D::cost1TypeList, "cost1TypeList"),
    DdxControl(Ids::TechList, &D::techList, "techList"),
    DdxText(Ids::Path, &D::pathText, "pathText"),
    DdxText(Ids::RequiredTech1, &D::requiredTech1Text, "requiredTech1Text"),
    DdxText(Ids::RequiredTech2, &D::requiredTech2Text, "requiredTech2Text"),
    DdxText(Ids::RequiredTech3, &D::requiredTech3Text, "requiredTech3Text"),
    DdxText(Ids::RequiredTech4, &D::requiredTech4Text, "requiredTech4Text"),
    DdxText(Ids::RequiredTech5, &D::requiredTech5Text, "requiredTech5Text"),
    DdxText(Ids::RequiredTech6, &D::requiredTech6Text, "requiredTech6Text"),
    DdxText(Ids::Cost1Amount, &D::cost1AmountText, "cost1AmountText"),
    DdxText(Ids::Cost2Amount, &D::cost2AmountText, "cost2AmountText"),
    DdxText(Ids::Cost3Amount, &D::cost3AmountText, "cost3AmountText"),
    DdxText(Ids::ResearchTime, &D::researchTimeText, "researchTimeText"),
    DdxText(Ids::EffectNo, &D::effectNoText, "effectNoText"),
    DdxText(Ids::Name, &D::nameText, "nameText"),
    DdxText(Ids::NameStringId, &D::nameStringIdText, "nameStringIdText"),
    DdxText(Ids::Location, &D::locationText, "locationText"),
    DdxText(Ids::ButtonSlot, &D::buttonSlotText, "buttonSlotText"),
    DdxText(Ids::IconId, &D::iconIdText, "iconIdText"),
    DdxText(Ids::HelpStringId, &D::helpStringIdText, "helpStringIdText"),
    DdxText(Ids::HelpText, &D::helpText, "helpText"),
    DdxText(Ids::Unknown1, &D::unknown1Text, "unknown1Text"),
    DdxText(Ids::Unknown2, &D::unknown2Text, "unknown2Text"),
    DdxText(Ids::Unknown3, &D::unknown3Text, "unknown3Text"),
    DdxText(Ids::Unknown4, &D::unknown4Text, "unknown4Text"),
    DdxText(Ids::Unknown5, &D::unknown5Text, "unknown5Text"),
    DdxText(Ids::LocationName, &D::locationNameText, "locationNameText"),
};

// The row of the member that shows a tech detail field: the one of its name, when that
// member is of the kind the field's control needs; nullptr otherwise.
constexpr const Row* FieldRow(const TechField& field)
{
    const auto fits = [&field](const Row& row) {
        switch (ControlOf(field.form)) {
        case FieldControl::Box: return std::holds_alternative<std::string D::*>(row.member);
        case FieldControl::List: return std::holds_alternative<DropDownList D::*>(row.member);
        case FieldControl::Check: return std::holds_alternative<Button D::*>(row.member);
        }
        return false;
    };
    for (const Row& row : ExchangeRows)
        if (row.name == field.member)
            return fits(row) ? &row : nullptr;
    return nullptr;
}

constexpr bool EveryFieldHasItsMember()
{
    for (const TechField& field : TechFields)
        if (FieldRow(field) == nullptr)
            return false;
    return true;
}
static_assert(EveryFieldHasItsMember());

} // namespace

MainDialog::MainDialog(Dialog* owner) : TableDialog(MainDialogTemplate(), owner) {}

MainDialog::~MainDialog() = default;

std::span<const ExchangeRow<MainDialog>> MainDialog::DataExchangeTable()
{
    return ExchangeRows;
}

// "Required Tech:" and "Civ:" have no row on purpose, nor have the disabled "Add" and
// "Delete": a click only toggles the mark, and nothing is ever written back.
std::span<const EventRow<MainDialog>> MainDialog::EventTable()
{
    using D = MainDialog;
    static const EventRow<D> rows[] = {
        {Notification::SelChange, Ids::TechList, &D::OnSelChangeTechList},
        {Notification::Change, Ids::EffectNo, &D::OnChangeEffectNo},
        {Notification::Change, Ids::HelpStringId, &D::OnChangeHelpStringId},
        {Notification::Change, Ids::NameStringId, &D::OnChangeNameStringId},
        {Notification::Clicked, Ids::Cost1Check, &D::OnClickedNoAction},
        {Notification::Clicked, Ids::Cost2Check, &D::OnClickedNoAction},
        {Notification::Clicked, Ids::Cost3Check, &D::OnClickedNoAction},
        {Notification::Clicked, Ids::Change, &D::OnClickedChange},
        {Notification::Clicked, Ids::Open, &D::OnClickedOpen},
    };
    return rows;
}

bool MainDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    SetIcon(ProgramIconId);
    dataBuffer.Release();
    // A search the program started that has not ended yet (a registry of tens of megabytes)
    // is waited for once the window is drawn, before its first key or click is handled.
    if (installationSearch.valid() && installationSearch.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        UpdateData(false);
    else
        TakeSearch(installationSearch.valid() ? installationSearch.get() : SearchInstallation());
    DragAcceptFiles();
    return true;
}

void MainDialog::TakeSearch(const InstallationSearch& search)
{
    installFolder = TakeInstallation(search.lookup);
    // Names that are not UTF-8 are in the ANSI code page of the system the game is on.
    SetTextCodePage(search.codePage);
    pathText = DataFilePath(installFolder);
    for (const std::string& path : LanguageModulePaths(installFolder))
        languageModules.AddModule(path, installation.prefix);
    UpdateData(false);
}

void MainDialog::OnFirstShown()
{
    if (installationSearch.valid())
        TakeSearch(installationSearch.get());
    if (!commandLinePath.empty())
        OpenPath(commandLinePath);
}

MainDialog::InstallationSearch MainDialog::SearchInstallation()
{
    InstallationSearch search{FindInstallation()};
    search.codePage = SystemAnsiCodePage(search.lookup.installation.prefix);
    return search;
}

std::string MainDialog::ReadInstallFolder()
{
    return TakeInstallation(FindInstallation());
}

std::string MainDialog::TakeInstallation(const InstallationLookup& lookup)
{
    installation = lookup.installation;
    installationProblem = lookup.Report(MaxPlacesShown);
    return installation.folder;
}

bool MainDialog::PreTranslateMessage(Key key, int target)
{
    switch (key) {
    case Key::Escape:  // never closes the main dialog, on purpose: only its close box does
        return true;
    case Key::CtrlO:
        BrowseDataFile();
        return true;
    case Key::CtrlF:
        OpenFindBox(FindBoxPlace);
        return true;
    case Key::F3:
    case Key::ShiftF3:
        if (FindBoxText().empty())
            OpenFindBox(FindBoxPlace);
        else
            FindTech(key == Key::F3 ? FindStep::Next : FindStep::Previous, FindBoxText());
        return true;
    default:
        return Dialog::PreTranslateMessage(key, target);
    }
}

void MainDialog::OnCancel()
{
    if (dataBuffer.length != 0)
        dataBuffer.Release();
    Dialog::OnCancel();
}

// Loading -----------------------------------------------------------------------------

// The wait cursor shows while the file loads and parses, and never over a message box.
bool MainDialog::LoadDataFile(const std::string& path)
{
    const auto loaded = [&] {
        const WaitCursor wait;
        return velmora::LoadDataFile(path, dataBuffer, installation.prefix);
    }();
    if (!loaded) {
        // The composed path failing is the search's failure: say where it looked.
        const bool composed = path == DataFilePath(installFolder) && !installationProblem.empty();
        MessageBox(loaded.failure().Text() + (composed ? "\n\nNo installation of the game with its data file was found: " + installationProblem : ""));
    }
    return loaded.ok();
}

bool MainDialog::ParseDataFile()
{
    const ParseResult result = [&] {
        const WaitCursor wait;
        return velmora::ParseDataFile(dataBuffer, tables);
    }();
    for (const std::string& message : result.messages)
        MessageBox(message);
    return result.parsed;
}

std::string MainDialog::PathToLoad() const
{
    return !namedPath.empty() && pathText == ShownFileName(namedPath) ? namedPath : pathText;
}

void MainDialog::RunLoad()
{
    if (!LoadDataFile(PathToLoad()) || !ParseDataFile())
        return;
    FillTechList();
    // No tech is selected now: the detail view shows nothing, as at start.
    ShowTechDetail(TechDetailView{});
    RenderEffectList(-1);
    UpdateData(false);
}

// Enter loads only from the path box, and never closes the dialog: elsewhere it only
// exchanges the boxes, on purpose.
void MainDialog::OnOK()
{
    UpdateData(true);
    if (GetFocusId() == Ids::Path) {
        RunLoad();
        return;
    }
    UpdateData(false);
}

void MainDialog::OnClickedOpen()
{
    // The path the user sees is the path loaded, typed or not.
    UpdateData(true);
    RunLoad();
}

void MainDialog::OpenPath(const std::string& path)
{
    UpdateData(true);
    namedPath = path;
    pathText = ShownFileName(path);
    UpdateData(false);
    OnClickedOpen();
}

void MainDialog::OnDropFile(const std::string& path)
{
    OpenPath(path);
}

void MainDialog::BrowseDataFile()
{
    UpdateData(true);
    if (const std::optional<std::string> chosen = ChooseFileToOpen(FolderOf(installation.HostPath(PathToLoad())), DataFileTypes))
        OpenPath(*chosen);
}

void MainDialog::FindTech(FindStep step, const std::string& text)
{
    const int selected = techList.GetCurSel();
    int line = ListError;
    switch (step) {
    case FindStep::Typed:
        line = techList.FindLineContaining(text, 0);
        break;
    case FindStep::Next:
        line = techList.FindLineContaining(text, selected + 1);
        break;
    case FindStep::Previous:
        line = techList.FindLineContaining(text, selected - 1, true);
        break;
    }
    ShowFindResult(line != ListError);
    if (line == ListError)
        return;
    techList.SetCurSel(line);
    OnSelChangeTechList();
}

// The list sorts its lines, and the zero-padded numbers keep line k on tech k: the views
// take a line's position for the tech number. The lines are the text dump's, controls
// shown as escapes, so that no name reorders its line.
void MainDialog::FillTechList()
{
    techList.ResetContent();
    for (int i = 0; i < ShownTechCount(tables); ++i)
        techList.AddString(ShownTechListLine(i, tables.techs[static_cast<std::size_t>(i)]));
}

// The views ---------------------------------------------------------------------------

StringLookup MainDialog::Lookup() const
{
    return [this](std::int64_t id) { return LookupString(id); };
}

void MainDialog::RenderEffectList(std::int64_t effectNo)
{
    effectList.ResetContent();
    renderedEffectNo = effectNo;
    for (const std::string& line : RenderEffectLines(tables, Lookup(), effectNo))
        effectList.AddString(line);
}

void MainDialog::OnSelChangeTechList()
{
    const int k = techList.GetCurSel();
    if (k < 0 || k >= ShownTechCount(tables))
        return;
    const TechDetailView v = DescribeTech(tables.techs[static_cast<std::size_t>(k)], tables.unitNameIds, Lookup());
    ShowTechDetail(v);
    RenderEffectList(v.effectNo);
    UpdateData(false);
}

void MainDialog::ShowTechDetail(const TechDetailView& view)
{
    for (std::size_t i = 0; i < TechFields.size(); ++i)
        std::visit([&](auto member) { Show(this->*member, view.fields[i]); }, FieldRow(TechFields[i])->member);
}

void MainDialog::OnChangeEffectNo()
{
    UpdateData(true);
    // Read as atoi does, on purpose: an emptied box shows effect 0.
    const std::int32_t effectNo = ReadLenientNumber(effectNoText);
    if (HasSelection(techList))
        RenderEffectList(effectNo);
}

void MainDialog::OnChangeNameStringId()
{
    ShowTypedStringId(nameStringIdText, nameText);
}

void MainDialog::OnChangeHelpStringId()
{
    ShowTypedStringId(helpStringIdText, helpText);
}

void MainDialog::ShowTypedStringId(const std::string& idText, std::string& text)
{
    UpdateData(true);
    // Read as atoi does (an emptied box asks for id 0); the tech's stored id stays as it is.
    const std::int32_t id = ReadLenientNumber(idText);
    if (!HasSelection(techList))
        return;
    text = LookupString(id);
    UpdateData(false);
}

// The cost check boxes' clicks are routed here to do nothing on purpose: a tick never
// reaches the tables.
void MainDialog::OnClickedNoAction() {}

void MainDialog::OnClickedChange()
{
    EffectDialog dialog;
    if (!HasSelection(techList))
        return;
    const int line = effectList.GetCurSel();
    if (line < 0)
        return;
    // The command on the selected line of the effect the list shows, if it still exists.
    if (renderedEffectNo < 0 || renderedEffectNo >= ShownEffectCount(tables))
        return;
    const EffectRecord& effect = tables.effects[static_cast<std::size_t>(renderedEffectNo)];
    if (line >= ShownCommandCount(effect))
        return;
    PrepareEffectDialog(dialog, effect.commands[static_cast<std::size_t>(line)]);
    // Whatever closes it (Enter, Escape, the close box), nothing typed there is kept: the
    // dialog only shows the command.
    dialog.DoModal();
}

// The minimised window ----------------------------------------------------------------

IconPosition MinimizedIconPosition(int clientWidth, int clientHeight, int iconWidth, int iconHeight)
{
    return IconPosition{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

void MainDialog::OnPaintMinimized(MinimizedPaint& paint)
{
    const IconPosition at = MinimizedIconPosition(paint.clientWidth, paint.clientHeight, paint.iconWidth, paint.iconHeight);
    paint.DrawIcon(at.x, at.y);
}

} // namespace velmora
