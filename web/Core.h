// The browser edition's core: what the page asks of the files it was handed, answered by
// the code the desktop runs. Two slots hold a loaded data file each (0 the file shown, or
// the old one of a comparison; 1 the new one), with its language modules and code page.
//
// The page hands bytes, not paths: a data file is written into a staging folder of this
// core's own (emscripten's in-memory file system in the browser) under the name the page
// gives it, and loaded from there as the desktop loads a file, so its messages name it as
// the page does. Nothing here throws or stops on bad input: failures are values.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct WebSlot;

class WebCore {
public:
    static constexpr int SlotCount = 2;

    // `stagingFolder`: a folder only this core writes to, made when missing.
    explicit WebCore(std::string stagingFolder);
    ~WebCore();
    WebCore(const WebCore&) = delete;
    WebCore& operator=(const WebCore&) = delete;

    // Loads `data` into `slot`, with up to three language modules (the desktop's order;
    // nullopt for a missing one) and code page `codePage` (0: 1252). JSON:
    // {"ok":true,"techCount":N,"messages":[...]} or {"ok":false,"kind":K,"reason":R,
    // "messages":[...]}, K the load's failure (LoadFailure's name), "ParseFailed",
    // "BadSlot" or "BadCodePage". A failed load leaves the slot as it was. A module that is
    // no module file is said in the messages and taken as absent.
    std::string Load(int slot, std::string_view data, const std::vector<std::optional<std::string>>& modules,
                     unsigned codePage, std::string_view fileName);

    // velmora-dump --format FORMAT's bytes for the slot's file (json, text, csv, dot); ""
    // for an empty slot or another format. With `techs`, only those, as --tech gives each
    // of them (an empty list: none).
    std::string Dump(int slot, std::string_view format, const std::optional<std::vector<int>>& techs = std::nullopt) const;
    // velmora-dump --diff --format FORMAT OLD NEW's bytes for slot 0 against slot 1 (text,
    // json, markdown), with slot 1's modules and code page; "" when they do not differ,
    // when a slot is empty or for another format.
    std::string Diff(std::string_view format) const;
    // The diff's exit status: 0 no differences, 1 differences, 2 a slot is empty.
    int DiffStatus() const;

    // The text the dialog shows beside a string id box when `typedId` is typed.
    std::string StringText(int slot, std::string_view typedId) const;
    // JSON: the effect list's lines when `typedEffectNo` is typed into the Effect No box.
    std::string EffectLines(int slot, std::string_view typedEffectNo) const;
    // JSON: the effect dialog's boxes for command `line` of that effect, or null where the
    // dialog would not open.
    std::string EffectCommand(int slot, std::string_view typedEffectNo, int line) const;

    // JSON: the detail fields in the dialog's order, each {"caption","member","name",
    // "control"}: the caption empty for a field on the line of the one before, the member
    // that names it in the JSON dump's view, the name a screen reader gives it, and its
    // control, "box", "text" (a text found through the value), "check" or "list" (then with
    // its "entries" in their positions, as the dialog fills the list).
    static std::string DetailForm();

private:
    const WebSlot* Loaded(int slot) const;

    std::string staging_;
    std::array<std::unique_ptr<WebSlot>, SlotCount> slots_;
};

} // namespace velmora
