#include "ui/Dialog.h"

#include "ui/DepthScope.h"
#include "ui/DialogWindow.h"

namespace velmora {

namespace {

Dialog*& MainWindowPointer()
{
    static Dialog* window = nullptr;
    return window;
}

} // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate, Dialog* owner)
    : template_(dialogTemplate), hasOwner_(owner != nullptr),
      window_(CreateDialogWindow(*this, owner != nullptr ? owner->window_.get() : nullptr))
{
}

Dialog::~Dialog()
{
    if (MainWindowPointer() == this) {
        MainWindowPointer() = nullptr;
    }
}

bool Dialog::Create()
{
    if (created_) {
        return false;
    }
    {
        const DepthScope building(quietDepth_);
        window_->CreateControls();
    }
    created_ = true;
    if (OnInitDialog()) {
        window_->FocusControl(FirstEnabledTabStop());
    }
    return true;
}

int Dialog::FirstEnabledTabStop() const
{
    return FirstTabStop(template_, [this](int id) { return window_->IsControlEnabled(id); });
}

int Dialog::DoModal()
{
    if (!created_) {
        Create();
    }
    Dialog* main = MainWindow();
    const bool ownedByMain = !hasOwner_ && main != nullptr && main != this;
    return window_->RunModal(ownedByMain ? main->window_.get() : nullptr);
}

void Dialog::SetMainWindow(Dialog* dialog)
{
    MainWindowPointer() = dialog;
}

Dialog* Dialog::MainWindow()
{
    return MainWindowPointer();
}

DialogBaseUnits Dialog::BaseUnits() const
{
    return window_->BaseUnits();
}

NativeControl* Dialog::GetDlgItem(int id) const
{
    return id == StaticId ? nullptr : window_->Control(id);
}

int Dialog::GetFocusId() const
{
    return window_->FocusedControl();
}

bool Dialog::UpdateData(bool save)
{
    const DepthScope exchanging(quietDepth_);
    return DoDataExchange(save);
}

void Dialog::EndDialog(int result)
{
    window_->End(result);
}

int Dialog::MessageBox(std::string_view text)
{
    window_->ShowMessage(text);
    return IdOk;
}

void Dialog::SetIcon(int iconId)
{
    window_->SetIcon(iconId);
}

void Dialog::DragAcceptFiles(bool accept)
{
    window_->AcceptDrops(accept);
}

std::optional<std::string> Dialog::ChooseFileToOpen(const std::string& folder, std::span<const FileType> types)
{
    return window_->ChooseFile(folder, types);
}

void Dialog::OpenFindBox(const DialogRect& place)
{
    findBox_.Open(GetFocusId());
    window_->ShowFindBox(place);
}

void Dialog::CloseFindBox()
{
    window_->HideFindBox();
    window_->FocusControl(findBox_.Close(FirstEnabledTabStop()));
}

std::string Dialog::FindBoxText() const
{
    return window_->FindBoxText();
}

void Dialog::ShowFindResult(bool found)
{
    if (findBox_.Searched(found, FindBoxText()))
        window_->TintFindBox(findBox_.NotFound());
}

bool Dialog::OnInitDialog()
{
    for (const DialogItem& item : template_.items) {
        ListControl list;
        if (item.initItems.empty() || !Bind(item.id, list, ControlKind::ListBox, ControlKind::DropDownList)) {
            continue;
        }
        for (std::string_view line : item.initItems) {
            list.AddString(line);
        }
    }
    UpdateData(false);
    return true;
}

void Dialog::OnOK()
{
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(IdOk);
}

void Dialog::OnCancel()
{
    EndDialog(IdCancel);
}

bool Dialog::PreTranslateMessage(Key key, int target)
{
    return IsDialogMessage(key, target);
}

bool Dialog::DoDataExchange(bool /*save*/)
{
    return true;
}

bool Dialog::OnCommand(Notification /*notification*/, int /*id*/)
{
    return false;
}

void Dialog::OnPaintMinimized(MinimizedPaint& /*paint*/) {}

void Dialog::OnFirstShown() {}

void Dialog::OnDropFile(const std::string& /*path*/) {}

void Dialog::OnFind(FindStep /*step*/, const std::string& /*text*/) {}

bool Dialog::IsDialogMessage(Key key, int target)
{
    switch (key) {
    case Key::Enter:
        if (const DialogItem* item = template_.FindItem(target);
            item != nullptr && item->kind == ControlKind::PushButton) {
            window_->ClickButton(target);
            return true;
        }
        OnOK();
        return true;
    case Key::Escape:
        OnCancel();
        return true;
    case Key::CtrlO:
    case Key::CtrlF:
    case Key::F3:
    case Key::ShiftF3:
    case Key::Other:
        break;
    }
    return false;
}

// Data exchange rows --------------------------------------------------------------------

bool Dialog::Bind(int id, ControlHandle& handle, ControlKind kind, ControlKind otherKind)
{
    NativeControl* control = GetDlgItem(id);
    if (control == nullptr) {
        return false;
    }
    const ControlKind actual = template_.FindItem(id)->kind;
    handle.control_ = actual == kind || actual == otherKind ? control : nullptr;
    return handle.control_ != nullptr;
}

bool Dialog::Exchange(int id, ListBox& handle, bool /*save*/)
{
    return Bind(id, handle, ControlKind::ListBox, ControlKind::ListBox);
}

bool Dialog::Exchange(int id, DropDownList& handle, bool /*save*/)
{
    return Bind(id, handle, ControlKind::DropDownList, ControlKind::DropDownList);
}

bool Dialog::Exchange(int id, Button& handle, bool /*save*/)
{
    return Bind(id, handle, ControlKind::PushButton, ControlKind::CheckBox);
}

bool Dialog::Exchange(int id, std::string& text, bool save)
{
    if (save)
        return window_->ReadText(id, text);
    std::string shown;
    if (!window_->ReadText(id, shown))
        return false;
    // A box that shows the text already keeps its cursor and selection: the box being
    // typed into is written back by the handler its typing runs.
    if (shown != text)
        window_->WriteText(id, text);
    return true;
}

// What the backend's window reports ----------------------------------------------------

bool DialogWindow::KeyPressed(Key key, int target)
{
    return dialog_.created_ && dialog_.PreTranslateMessage(key, target);
}

void DialogWindow::Notified(Notification notification, int id)
{
    if (dialog_.quietDepth_ == 0) {
        dialog_.OnCommand(notification, id);
    }
}

void DialogWindow::OkCommand()
{
    dialog_.OnOK();
}

void DialogWindow::CancelCommand()
{
    dialog_.OnCancel();
}

void DialogWindow::PaintMinimized(MinimizedPaint& paint)
{
    dialog_.OnPaintMinimized(paint);
}

void DialogWindow::FirstShown()
{
    dialog_.OnFirstShown();
}

void DialogWindow::FileDropped(const std::string& path)
{
    dialog_.OnDropFile(path);
}

void DialogWindow::FindRequested(FindStep step)
{
    dialog_.OnFind(step, FindBoxText());
}

bool DialogWindow::FindBoxKeyPressed(Key key)
{
    switch (key) {
    case Key::Enter:
    case Key::F3:
        FindRequested(FindStep::Next);
        return true;
    case Key::ShiftF3:
        FindRequested(FindStep::Previous);
        return true;
    case Key::Escape:
        dialog_.CloseFindBox();
        return true;
    case Key::CtrlO:
    case Key::CtrlF:
    case Key::Other:
        break;
    }
    return false;
}

} // namespace velmora
