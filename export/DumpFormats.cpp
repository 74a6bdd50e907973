#include "export/DumpFormats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <set>

#include "data/RecordLayout.h"
#include "host/Text.h"
#include "export/JsonWriter.h"
#include "views/TableBounds.h"
#include "views/TechDetailView.h"
#include "views/TextForms.h"

namespace velmora {

namespace {

const TechRecord& TechAt(const GameTables& t, int k) { return t.techs[static_cast<std::size_t>(k)]; }
const EffectRecord& EffectAt(const GameTables& t, int n) { return t.effects[static_cast<std::size_t>(n)]; }

void WriteFloat(JsonWriter& json, float value)
{
    if (std::isnan(value))
        json.String("nan");
    else if (std::isinf(value))
        json.String(value > 0 ? "inf" : "-inf");
    else  // the double nearest the float's shortest text prints back as that text
        json.Double(std::strtod(ShortestFloatText(value).c_str(), nullptr));
}

// The view's fields by their members' names: the boxes, then the lists, then the check
// boxes, each in the dialog's order.
void WriteViewJson(JsonWriter& json, const TechDetailView& v)
{
    json.BeginObject();
    for (const FieldControl control : {FieldControl::Box, FieldControl::List, FieldControl::Check})
        for (std::size_t i = 0; i < TechFields.size(); ++i) {
            const ShownField& shown = v.fields[i];
            if (ControlOf(TechFields[i].form) != control)
                continue;
            json.Key(TechFields[i].member);
            WriteFieldJson(json, TechFields[i], shown);
        }
    json.EndObject();
}

// One line per caption, each field after it on its line; texts as Visible shows them.
void WriteViewText(std::ostream& out, const TechDetailView& v)
{
    for (std::size_t i = 0; i < TechFields.size(); ++i) {
        const TechField& field = TechFields[i];
        const ShownField& shown = v.fields[i];
        if (!field.caption.empty())
            out << "\n    " << field.caption;
        out << ' ';
        if (!field.dumpLabel.empty())
            out << field.dumpLabel << ' ';
        switch (ControlOf(field.form)) {
        case FieldControl::Box:
            out << (shown.text.empty() ? field.dumpBlank : Visible(shown.text));
            break;
        case FieldControl::List:
            if (shown.selection >= 0)
                out << shown.selection << " (" << ListEntries(field.form)[static_cast<std::size_t>(shown.selection)] << ")";
            else
                out << "none";
            break;
        case FieldControl::Check:
            out << (shown.checked ? "[x]" : "[ ]");
            break;
        }
    }
    out << '\n';
}

// Writes a tech's stored fields in file order by the names the record's walk gives them:
// an array element into the array of its member's name, a part of one into the element's
// object. The techs that require the tech follow its required techs.
class StoredFieldsJson {
public:
    StoredFieldsJson(JsonWriter& json, const std::vector<int>& requiredBy) : json_(json), requiredBy_(requiredBy) {}

    void operator()(std::int64_t value, const StoredName& name)
    {
        if (name.index < 0 || name.member != array_)
            CloseArray();
        else if (name.index != element_)
            CloseElement();
        if (name.index < 0)
            return json_.Member(name.member, value);
        if (array_.empty()) {
            json_.Key(name.member);
            json_.BeginArray();
            array_ = name.member;
        }
        if (name.part.empty())
            return json_.Int(value);
        if (element_ < 0) {
            json_.BeginObject();
            element_ = name.index;
        }
        json_.Member(name.part, value);
    }

    void CloseArray()
    {
        CloseElement();
        if (array_.empty())
            return;
        json_.EndArray();
        if (array_ == "requiredTechs")
            json_.Member("requiredBy", requiredBy_);
        array_ = {};
    }

private:
    void CloseElement()
    {
        if (element_ >= 0)
            json_.EndObject();
        element_ = -1;
    }

    JsonWriter& json_;
    const std::vector<int>& requiredBy_;
    std::string_view array_;  // the array being written
    int element_ = -1;        // the element whose object is being written
};

void WriteTechJson(JsonWriter& json, const GameTables& tables, const StringLookup& lookup, int k, const std::vector<int>& requiredBy,
                   const std::vector<std::string>& effectLines)
{
    const TechRecord& t = TechAt(tables, k);
    json.BeginObject();
    json.Member("line", TechListLine(k, t));
    StoredFieldsJson stored(json, requiredBy);
    ForEachStoredTechField(t, stored);
    stored.CloseArray();
    json.Member("name", DisplayText(t.name));
    const TechDetailView view = DescribeTech(t, tables.unitNameIds, lookup);
    json.Key("view");
    WriteViewJson(json, view);
    json.Member("effectLines", effectLines);
    json.EndObject();
}

// A Graphviz string: control characters visible, quotes and backslashes escaped (a
// backslash would otherwise start an escape such as \n or \N, or join two lines), and
// '&' as the entity, since Graphviz reads "&lt;" in a label as '<'.
std::string DotQuoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : Visible(text)) {
        if (c == '&') {
            out += "&amp;";
            continue;
        }
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

} // namespace

void WriteCommandJson(JsonWriter& json, const EffectCommand& c)
{
    json.BeginObject();
    json.Member("type", c.type);
    json.Member("data1", c.data1);
    json.Member("data2", c.data2);
    json.Member("data3", c.data3);
    json.Key("data4");
    WriteFloat(json, c.data4);
    json.EndObject();
}

void WriteFieldJson(JsonWriter& json, const TechField& field, const ShownField& shown)
{
    switch (ControlOf(field.form)) {
    case FieldControl::Box: json.String(shown.text); break;
    case FieldControl::List: json.Int(shown.selection); break;
    case FieldControl::Check: json.Bool(shown.checked); break;
    }
}

bool TechFilter::Shows(int k) const
{
    return only.empty() || std::find(only.begin(), only.end(), k) != only.end();
}

std::vector<std::vector<int>> RequiredBy(const GameTables& tables)
{
    const int count = ShownTechCount(tables);
    std::vector<std::vector<int>> users(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const auto& required = TechAt(tables, k).requiredTechs;
        // A tech that lists another twice requires it once.
        for (const int r : std::set<int>(required.begin(), required.end()))
            if (r >= 0 && r < count)
                users[static_cast<std::size_t>(r)].push_back(k);
    }
    return users;
}

void WriteDumpJson(std::ostream& out, const GameTables& tables, const StringLookup& lookup, const TechFilter& filter)
{
    // With a filter, only the effects the chosen techs show, each with its index.
    std::set<int> shownEffects;
    for (int k = 0; k < ShownTechCount(tables); ++k)
        if (!filter.only.empty() && filter.Shows(k))
            shownEffects.insert(TechAt(tables, k).effectNo);
    // Each effect is rendered once: its lines are written again under every tech that shows it.
    std::vector<std::vector<std::string>> effectLines(static_cast<std::size_t>(ShownEffectCount(tables)));
    const auto linesOf = [&effectLines](std::int64_t n) -> const std::vector<std::string>& {
        static const std::vector<std::string> none;
        return n >= 0 && n < static_cast<std::int64_t>(effectLines.size()) ? effectLines[static_cast<std::size_t>(n)] : none;
    };
    JsonWriter json(out);
    json.BeginObject();
    json.Member("versionText", DisplayText(tables.versionText));
    json.Member("effectCount", tables.effectCount);
    json.Member("techCount", tables.techCount);
    json.Key("effects");
    json.BeginArray();
    for (int n = 0; n < ShownEffectCount(tables); ++n) {
        if (!filter.only.empty() && !shownEffects.contains(n))
            continue;
        const EffectRecord& e = EffectAt(tables, n);
        json.BeginObject();
        if (!filter.only.empty())
            json.Member("index", n);
        json.Key("commands");
        json.BeginArray();
        for (int i = 0; i < ShownCommandCount(e); ++i)
            WriteCommandJson(json, e.commands[static_cast<std::size_t>(i)]);
        json.EndArray();
        json.Member("lines", effectLines[static_cast<std::size_t>(n)] = RenderEffectLines(tables, lookup, n));
        json.EndObject();
    }
    json.EndArray();
    json.Key("techs");
    json.BeginArray();
    const std::vector<std::vector<int>> requiredBy = RequiredBy(tables);
    for (int k = 0; k < ShownTechCount(tables); ++k)
        if (filter.Shows(k))
            WriteTechJson(json, tables, lookup, k, requiredBy[static_cast<std::size_t>(k)], linesOf(TechAt(tables, k).effectNo));
    json.EndArray();
    json.EndObject();
}

void WriteDumpText(std::ostream& out, const GameTables& tables, const StringLookup& lookup, const TechFilter& filter)
{
    // Counts the file gives as negative show as the 0 entries listed.
    out << "version: " << Visible(DisplayText(tables.versionText)) << "\n";
    out << "effects: " << ShownEffectCount(tables) << "\n";
    out << "techs: " << ShownTechCount(tables) << "\n";
    const std::vector<std::vector<int>> requiredBy = RequiredBy(tables);
    for (int k = 0; k < ShownTechCount(tables); ++k) {
        if (!filter.Shows(k))
            continue;
        const TechRecord& t = TechAt(tables, k);
        const TechDetailView v = DescribeTech(t, tables.unitNameIds, lookup);
        out << ShownTechListLine(k, t);
        WriteViewText(out, v);
        out << "    Required by:";
        for (const int user : requiredBy[static_cast<std::size_t>(k)])
            out << FormatText(" %03d", user);
        out << (requiredBy[static_cast<std::size_t>(k)].empty() ? " none\n" : "\n");
        for (const std::string& line : RenderEffectLines(tables, lookup, v.effectNo))
            out << "        " << Visible(line) << "\n";
    }
}

namespace {

// One field of a sheet (RFC 4180): quoted when it holds a comma, a quote or a line break, or
// begins or ends with a space, which some programs would drop.
void WriteCsvField(std::ostream& out, std::string_view field)
{
    const bool quoted = field.find_first_of(",\"\r\n") != std::string_view::npos ||
                        (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    if (!quoted) {
        out << field;
        return;
    }
    out << '"';
    for (const char c : field)
        out << (c == '"' ? "\"\"" : std::string_view(&c, 1));
    out << '"';
}

// A text from a file or a language module: control characters visible, and a leading
// character that would make a spreadsheet read a formula (= + - @) taken as text by the
// apostrophe spreadsheets use for that.
std::string CsvText(std::string_view text)
{
    std::string shown = Visible(text);
    if (!shown.empty() && std::string_view("=+-@").find(shown.front()) != std::string_view::npos)
        shown.insert(0, 1, '\'');
    return shown;
}

// A field of the tech view as its control shows it: a box's text (a number as it is), a
// list's selected entry, "x" for a tick.
std::string CsvFieldText(const TechField& field, const ShownField& shown)
{
    switch (field.form) {
    case FieldForm::Number:
    case FieldForm::NumberBlankNone:
    case FieldForm::EffectNumber:
        return shown.text;
    case FieldForm::StringText:
    case FieldForm::UnitName:
        return CsvText(shown.text);
    case FieldForm::ResourceList:
    case FieldForm::CivList:
        return shown.selection < 0 ? "" : std::string(ListEntries(field.form)[static_cast<std::size_t>(shown.selection)]);
    case FieldForm::Check:
        break;
    }
    return shown.checked ? "x" : "";
}

} // namespace

void WriteDumpCsv(std::ostream& out, const GameTables& tables, const StringLookup& lookup, const TechFilter& filter)
{
    constexpr std::string_view End = "\r\n";
    out << "Index,Name";
    for (const TechField& field : TechFields)
        out << ',' << field.title;
    out << ",Effect Lines" << End;
    for (int k = 0; k < ShownTechCount(tables); ++k) {
        if (!filter.Shows(k))
            continue;
        const TechRecord& t = TechAt(tables, k);
        const TechDetailView v = DescribeTech(t, tables.unitNameIds, lookup);
        out << k << ',';
        WriteCsvField(out, CsvText(DisplayText(t.name)));
        for (std::size_t i = 0; i < TechFields.size(); ++i) {
            out << ',';
            WriteCsvField(out, CsvFieldText(TechFields[i], v.fields[i]));
        }
        std::string lines;
        for (const std::string& line : RenderEffectLines(tables, lookup, v.effectNo))
            lines += (lines.empty() ? "" : " | ") + line;
        out << ',';
        WriteCsvField(out, CsvText(lines));
        out << End;
    }
}

void WriteDumpDot(std::ostream& out, const GameTables& tables, const TechFilter& filter)
{
    out << "digraph techs {\n  rankdir=LR;\n  node [shape=box];\n";
    const int count = ShownTechCount(tables);
    for (int k = 0; k < count; ++k)
        if (filter.Shows(k))
            out << "  t" << k << " [label=" << DotQuoted(TechListLine(k, TechAt(tables, k))) << "];\n";
    const std::vector<std::vector<int>> requiredBy = RequiredBy(tables);
    for (int r = 0; r < count; ++r)
        for (const int k : requiredBy[static_cast<std::size_t>(r)])
            if (filter.Shows(k) && filter.Shows(r))
                out << "  t" << r << " -> t" << k << ";\n";
    out << "}\n";
}

std::optional<DumpFormat> DumpFormatNamed(std::string_view name)
{
    if (name == "text")
        return DumpFormat::Text;
    if (name == "json")
        return DumpFormat::Json;
    if (name == "dot")
        return DumpFormat::Dot;
    if (name == "csv")
        return DumpFormat::Csv;
    return std::nullopt;
}

void WriteDump(std::ostream& out, DumpFormat format, const GameTables& tables, const StringLookup& lookup, const TechFilter& filter)
{
    switch (format) {
    case DumpFormat::Text: WriteDumpText(out, tables, lookup, filter); break;
    case DumpFormat::Json: WriteDumpJson(out, tables, lookup, filter); break;
    case DumpFormat::Dot: WriteDumpDot(out, tables, filter); break;
    case DumpFormat::Csv: WriteDumpCsv(out, tables, lookup, filter); break;
    }
}

} // namespace velmora
