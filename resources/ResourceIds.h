// Ids of the program's resources and of the controls in its dialog templates.
#pragma once

namespace velmora {

inline constexpr int MainDialogTemplateId = 102;
inline constexpr int EffectDialogTemplateId = 103;
inline constexpr int ProgramIconId = 128;

// Controls of the main dialog (template 102).
struct MainDialogIds {
    static constexpr int TechList = 1000;
    static constexpr int Path = 1001;
    static constexpr int Open = 1002;
    static constexpr int RequiredTech1 = 1003;
    static constexpr int RequiredTech2 = 1004;
    static constexpr int RequiredTech3 = 1005;
    static constexpr int RequiredTech4 = 1006;
    static constexpr int RequiredTech5 = 1007;
    static constexpr int RequiredTech6 = 1008;
    static constexpr int Cost1Amount = 1009;
    static constexpr int Cost1Type = 1010;
    static constexpr int Cost1Check = 1011;
    static constexpr int RequiredTechCheck = 1012;
    static constexpr int Cost2Check = 1013;
    static constexpr int Cost2Type = 1014;
    static constexpr int Cost2Amount = 1015;
    static constexpr int Cost3Amount = 1016;
    static constexpr int Cost3Type = 1017;
    static constexpr int Cost3Check = 1018;
    static constexpr int Add = 1019;
    static constexpr int CivCheck = 1020;
    static constexpr int ResearchTime = 1021;
    static constexpr int EffectNo = 1022;
    static constexpr int EffectList = 1023;
    static constexpr int Name = 1024;
    static constexpr int NameStringId = 1025;
    static constexpr int Location = 1026;
    static constexpr int IconId = 1027;
    static constexpr int ButtonSlot = 1028;
    static constexpr int HelpStringId = 1029;
    static constexpr int HelpText = 1030;
    static constexpr int Unknown1 = 1031;
    static constexpr int Unknown2 = 1032;
    static constexpr int Unknown3 = 1033;
    static constexpr int Unknown4 = 1034;
    static constexpr int Unknown5 = 1035;
    static constexpr int LocationName = 1036;
    static constexpr int CivList = 1037;
    static constexpr int Change = 1038;
    static constexpr int Delete = 1039;
};

// Controls of the effect dialog (template 103). The numbers are this template's own;
// the same numbers name other controls in the main dialog.
struct EffectDialogIds {
    static constexpr int TypeList = 1040;
    static constexpr int Data1 = 1039;
    static constexpr int Data2 = 1030;
    static constexpr int Data3 = 1032;
    static constexpr int Data4 = 1033;
};

} // namespace velmora
