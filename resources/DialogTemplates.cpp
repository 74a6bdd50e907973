#include "resources/DialogTemplates.h"

#include "views/EffectBoxes.h"
#include "views/NamingTables.h"

namespace velmora {

namespace {

using K = ControlKind;
using M = MainDialogIds;
using E = EffectDialogIds;

constexpr ItemStyles ListStyles = StyleTabStop | StyleNotify | StyleVScroll | StyleBorder | StyleNoIntegralHeight;
constexpr ItemStyles EditStyles = StyleTabStop | StyleBorder | StyleAutoHScroll;
constexpr ItemStyles DigitsStyles = EditStyles | StyleDigitsOnly;
constexpr ItemStyles ReadOnlyStyles = EditStyles | StyleReadOnly;
constexpr ItemStyles CheckStyles = StyleTabStop | StyleAutoCheck;

// Main dialog, template 102 ------------------------------------------------------------

constexpr DialogItem MainItems[] = {
    {M::TechList, K::ListBox, {7, 24, 122, 322}, "", ListStyles | StyleSort, {}},
    {M::Path, K::Edit, {7, 7, 258, 12}, "", EditStyles, {}},
    {M::Open, K::PushButton, {267, 7, 47, 12}, "ファイルを開く", StyleTabStop, {}},
    {M::RequiredTech1, K::Edit, {193, 69, 17, 13}, "", DigitsStyles, {}},
    {M::RequiredTech2, K::Edit, {210, 69, 17, 13}, "", DigitsStyles, {}},
    {M::RequiredTech3, K::Edit, {228, 69, 17, 13}, "", DigitsStyles, {}},
    {M::RequiredTech4, K::Edit, {245, 69, 17, 13}, "", DigitsStyles, {}},
    {M::RequiredTech5, K::Edit, {263, 69, 17, 13}, "", DigitsStyles, {}},
    {M::RequiredTech6, K::Edit, {280, 69, 17, 13}, "", DigitsStyles, {}},
    {M::Cost1Amount, K::Edit, {237, 86, 26, 13}, "", DigitsStyles, {}},
    {M::Cost1Type, K::DropDownList, {193, 86, 39, 61}, "", StyleTabStop, ResourceNames},
    {M::Cost1Check, K::CheckBox, {133, 87, 41, 12}, "Cost1:", CheckStyles, {}},
    {M::RequiredTechCheck, K::CheckBox, {133, 70, 55, 16}, "Required Tech:", CheckStyles, {}},
    {M::Cost2Check, K::CheckBox, {133, 104, 41, 12}, "Cost2:", CheckStyles, {}},
    {M::Cost2Type, K::DropDownList, {193, 102, 39, 62}, "", StyleTabStop, ResourceNames},
    {M::Cost2Amount, K::Edit, {237, 102, 26, 13}, "", DigitsStyles, {}},
    {M::Cost3Amount, K::Edit, {237, 119, 26, 13}, "", DigitsStyles, {}},
    {M::Cost3Type, K::DropDownList, {193, 119, 39, 60}, "", StyleTabStop, ResourceNames},
    {M::Cost3Check, K::CheckBox, {133, 121, 41, 12}, "Cost3:", CheckStyles, {}},
    {M::CivCheck, K::CheckBox, {133, 137, 39, 12}, "Civ:", CheckStyles, {}},
    {StaticId, K::StaticText, {142, 155, 48, 9}, "Research Time:", StyleNone, {}},
    {M::ResearchTime, K::Edit, {193, 152, 38, 13}, "", DigitsStyles, {}},
    {StaticId, K::StaticText, {143, 221, 48, 9}, "Effect No:", StyleNone, {}},
    {M::EffectNo, K::Edit, {193, 219, 38, 13}, "", DigitsStyles, {}},
    {M::EffectList, K::ListBox, {142, 235, 208, 111}, "", ListStyles, {}},
    {StaticId, K::StaticText, {143, 170, 48, 9}, "Icon ID:", StyleNone, {}},
    {M::Name, K::Edit, {228, 25, 86, 13}, "", ReadOnlyStyles, {}},
    {StaticId, K::StaticText, {144, 29, 46, 9}, "Name String ID:", StyleNone, {}},
    {M::NameStringId, K::Edit, {193, 25, 34, 13}, "", DigitsStyles, {}},
    {StaticId, K::StaticText, {237, 155, 36, 9}, "Location:", StyleNone, {}},
    {M::Location, K::Edit, {275, 151, 38, 13}, "", DigitsStyles, {}},
    {StaticId, K::StaticText, {237, 170, 36, 9}, "Button Slot:", StyleNone, {}},
    {M::IconId, K::Edit, {193, 168, 38, 13}, "", DigitsStyles, {}},
    {M::ButtonSlot, K::Edit, {275, 167, 38, 13}, "", DigitsStyles, {}},
    {StaticId, K::StaticText, {144, 41, 46, 9}, "Help String ID:", StyleNone, {}},
    {M::HelpStringId, K::Edit, {193, 39, 34, 13}, "", DigitsStyles, {}},
    {M::HelpText, K::Edit, {193, 53, 192, 13}, "", ReadOnlyStyles, {}},
    {StaticId, K::StaticText, {142, 187, 48, 9}, "Unknown1:", StyleNone, {}},
    {M::Unknown1, K::Edit, {193, 184, 38, 13}, "", EditStyles, {}},
    {M::Unknown2, K::Edit, {275, 183, 38, 13}, "", EditStyles, {}},
    {StaticId, K::StaticText, {237, 186, 36, 9}, "Unknown2:", StyleNone, {}},
    {StaticId, K::StaticText, {142, 204, 48, 9}, "Unknown3,4,5:", StyleNone, {}},
    {M::Unknown3, K::Edit, {193, 201, 38, 13}, "", EditStyles, {}},
    {M::Unknown4, K::Edit, {234, 201, 38, 13}, "", EditStyles, {}},
    {M::Unknown5, K::Edit, {275, 201, 38, 13}, "", EditStyles, {}},
    {M::LocationName, K::Edit, {314, 151, 64, 13}, "", ReadOnlyStyles, {}},
    {M::CivList, K::DropDownList, {193, 135, 70, 60}, "", StyleTabStop, CivNames},
    // "Add" and "Delete" stay disabled on purpose: the viewer never changes the data file.
    {M::Add, K::PushButton, {353, 236, 32, 14}, "Add", StyleTabStop | StyleDisabled, {}},
    {M::Change, K::PushButton, {353, 255, 32, 15}, "Change", StyleTabStop, {}},
    {M::Delete, K::PushButton, {353, 275, 32, 15}, "Delete", StyleTabStop | StyleDisabled, {}},
};

constexpr DialogTemplate MainTemplate{
    MainDialogTemplateId,
    "Velmora",
    399,
    353,
    DialogFontName,
    DialogFontPointSize,
    DialogStyleCaption | DialogStyleSystemMenu | DialogStyleMinimizeBox | DialogStyleModalFrame |
        DialogStyleVisible | DialogStyleAppWindow,
    MainItems,
};

// Effect dialog, template 103 ----------------------------------------------------------

constexpr DialogItem EffectItems[] = {
    {StaticId, K::StaticText, {14, 15, 40, 9}, "Effect Type:", StyleNone, {}},
    {E::TypeList, K::DropDownList, {59, 13, 70, 60}, "", StyleTabStop | StyleVScroll, EffectTypeNames},
    {StaticId, K::StaticText, {14, 32, 40, 9}, "Data1:", StyleNone, {}},
    {E::Data1, K::Edit, {59, 30, 68, 13}, "", DigitsStyles, {}},
    {StaticId, K::StaticText, {14, 49, 40, 9}, "Data2:", StyleNone, {}},
    {StaticId, K::StaticText, {14, 67, 40, 9}, "Data3:", StyleNone, {}},
    {StaticId, K::StaticText, {14, 84, 40, 9}, "Data4:", StyleNone, {}},
    {E::Data2, K::Edit, {59, 46, 68, 13}, "", DigitsStyles, {}},
    {E::Data3, K::Edit, {59, 63, 68, 13}, "", DigitsStyles, {}},
    {E::Data4, K::Edit, {59, 81, 68, 13}, "", DigitsStyles, {}},
};

constexpr DialogTemplate EffectTemplate{
    EffectDialogTemplateId,
    "Effect",
    161,
    113,
    DialogFontName,
    DialogFontPointSize,
    DialogStyleCaption | DialogStyleSystemMenu | DialogStyleModalFrame,
    EffectItems,
};

} // namespace

const DialogTemplate& MainDialogTemplate()
{
    return MainTemplate;
}

const DialogTemplate& EffectDialogTemplate()
{
    return EffectTemplate;
}

} // namespace velmora
