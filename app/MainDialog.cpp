#include "app/MainDialog.h"

#include "data/DataFile.h"
#include "data/DataParser.h"
#include "resources/DialogTemplates.h"
#include "editor/EffectDialog.h"
#include "host/Installation.h"
#include "ui/Application.h"
#include "views/TableBounds.h"
#include "views/TechDetailView.h"
#include "views/TextForms.h"

namespace velmora {

namespace {

using Ids = MainDialogIds;

bool HasSelection(const ListBox& list) { return list.GetCurSel() >= 0; }

CheckMark Mark(bool checked) { return checked ? CheckMark::Checked : CheckMark::Unchecked; }

} // namespace

MainDialog::MainDialog(Dialog* owner) : TableDialog(MainDialogTemplate(), owner) {}

MainDialog::~MainDialog() = default;

std::span<const ExchangeRow<MainDialog>> MainDialog::DataExchangeTable()
{
    using D = MainDialog;
    static const ExchangeRow<D> rows[] = {
        DdxControl(Ids::CivCheck, &D::civCheck),
        DdxControl(Ids::Cost3Check, &D::cost3Check),
        DdxControl(Ids::Cost2Check, &D::cost2Check),
        DdxControl(Ids::Cost1Check, &D::cost1Check),
        DdxControl(Ids::RequiredTechCheck, &D::requiredTechCheck),
        DdxControl(Ids::CivList, &D::civList),
        DdxControl(Ids::EffectList, &D::effectList),
        DdxControl(Ids::Cost3Type, &D::cost3TypeList),
        DdxControl(Ids::Cost2Type, &D::cost2TypeList),
        DdxControl(Ids::Cost1Type, &D::cost1TypeList),
        DdxControl(Ids::TechList, &D::techList),
        DdxText(Ids::Path, &D::pathText),
        DdxText(Ids::RequiredTech1, &D::requiredTech1Text),
        DdxText(Ids::RequiredTech2, &D::requiredTech2Text),
        DdxText(Ids::RequiredTech3, &D::requiredTech3Text),
        DdxText(Ids::RequiredTech4, &D::requiredTech4Text),
        DdxText(Ids::RequiredTech5, &D::requiredTech5Text),
        DdxText(Ids::RequiredTech6, &D::requiredTech6Text),
        DdxText(Ids::Cost1Amount, &D::cost1AmountText),
        DdxText(Ids::Cost2Amount, &D::cost2AmountText),
        DdxText(Ids::Cost3Amount, &D::cost3AmountText),
        DdxText(Ids::ResearchTime, &D::researchTimeText),
        DdxText(Ids::EffectNo, &D::effectNoText),
        DdxText(Ids::Name, &D::nameText),
        DdxText(Ids::NameStringId, &D::nameStringIdText),
        DdxText(Ids::Location, &D::locationText),
        DdxText(Ids::ButtonSlot, &D::buttonSlotText),
        DdxText(Ids::IconId, &D::iconIdText),
        DdxText(Ids::HelpStringId, &D::helpStringIdText),
        DdxText(Ids::HelpText, &D::helpText),
        DdxText(Ids::Unknown1, &D::unknown1Text),
        DdxText(Ids::Unknown2, &D::unknown2Text),
        DdxText(Ids::Unknown3, &D::unknown3Text),
        DdxText(Ids::Unknown4, &D::unknown4Text),
        DdxText(Ids::Unknown5, &D::unknown5Text),
        DdxText(Ids::LocationName, &D::locationNameText),
    };
    return rows;
}

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
    installFolder = ReadInstallFolder();
    pathText = DataFilePath(installFolder);
    dataBuffer.Release();
    for (const std::string& path : LanguageModulePaths(installFolder))
        languageModules.AddModule(path);
    UpdateData(false);
    return true;
}

std::string MainDialog::ReadInstallFolder()
{
    return velmora::ReadInstallFolder().value_or("");
}

bool MainDialog::PreTranslateMessage(Key key, int target)
{
    // Escape never closes the main dialog.
    if (key == Key::Escape)
        return true;
    return Dialog::PreTranslateMessage(key, target);
}

void MainDialog::OnCancel()
{
    if (dataBuffer.length != 0)
        dataBuffer.Release();
    Dialog::OnCancel();
}

// Loading -----------------------------------------------------------------------------

bool MainDialog::LoadDataFile(const std::string& path)
{
    return velmora::LoadDataFile(path, dataBuffer).ok();
}

bool MainDialog::ParseDataFile()
{
    const ParseResult result = velmora::ParseDataFile(dataBuffer, tables);
    for (const std::string& message : result.messages)
        MessageBox(message);
    return result.parsed;
}

void MainDialog::RunLoad()
{
    const WaitCursor wait;
    if (!LoadDataFile(pathText) || !ParseDataFile())
        return;
    FillTechList();
    UpdateData(false);
}

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

void MainDialog::FillTechList()
{
    techList.ResetContent();
    for (int i = 0; i < ShownTechCount(tables); ++i)
        techList.AddString(TechListLine(i, tables.techs[static_cast<std::size_t>(i)]));
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
    nameStringIdText = v.nameStringIdText;
    nameText = v.nameText;
    helpStringIdText = v.helpStringIdText;
    helpText = v.helpText;
    requiredTechCheck.SetCheck(Mark(v.requiredTechCheck));
    requiredTech1Text = v.requiredTechTexts[0];
    requiredTech2Text = v.requiredTechTexts[1];
    requiredTech3Text = v.requiredTechTexts[2];
    requiredTech4Text = v.requiredTechTexts[3];
    requiredTech5Text = v.requiredTechTexts[4];
    requiredTech6Text = v.requiredTechTexts[5];
    cost1Check.SetCheck(Mark(v.costChecks[0]));
    cost1AmountText = v.costAmountTexts[0];
    cost1TypeList.SetCurSel(v.costTypeSelections[0]);
    cost2Check.SetCheck(Mark(v.costChecks[1]));
    cost2AmountText = v.costAmountTexts[1];
    cost2TypeList.SetCurSel(v.costTypeSelections[1]);
    cost3Check.SetCheck(Mark(v.costChecks[2]));
    cost3AmountText = v.costAmountTexts[2];
    cost3TypeList.SetCurSel(v.costTypeSelections[2]);
    civCheck.SetCheck(Mark(v.civCheck));
    civList.SetCurSel(v.civSelection);
    researchTimeText = v.researchTimeText;
    locationText = v.locationText;
    locationNameText = v.locationNameText;
    iconIdText = v.iconIdText;
    buttonSlotText = v.buttonSlotText;
    unknown1Text = v.unknownTexts[0];
    unknown2Text = v.unknownTexts[1];
    unknown3Text = v.unknownTexts[2];
    unknown4Text = v.unknownTexts[3];
    unknown5Text = v.unknownTexts[4];
    effectNoText = v.effectNoText;
    RenderEffectList(v.effectNo);
    UpdateData(false);
}

void MainDialog::OnChangeEffectNo()
{
    UpdateData(true);
    const std::int32_t effectNo = ReadLenientNumber(effectNoText);
    if (HasSelection(techList))
        RenderEffectList(effectNo);
}

void MainDialog::OnChangeNameStringId()
{
    UpdateData(true);
    const std::int32_t id = ReadLenientNumber(nameStringIdText);
    if (!HasSelection(techList))
        return;
    nameText = LookupString(id);
    UpdateData(false);
}

void MainDialog::OnChangeHelpStringId()
{
    UpdateData(true);
    const std::int32_t id = ReadLenientNumber(helpStringIdText);
    if (!HasSelection(techList))
        return;
    helpText = LookupString(id);
    UpdateData(false);
}

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
