// The Qt backend's dialog window: a QDialog built from the template, its controls made of
// the widgets in Widgets.h.
#pragma once

#include <QDialog>
#include <QIcon>

#include <memory>
#include <vector>

#include "ui/Dialog.h"
#include "ui/DialogWindow.h"

class QFont;
class QKeyEvent;
class QLineEdit;
class QPaintEvent;
class QShowEvent;

namespace velmora {

class EditWidget;

// A control of a Qt dialog: its template item and its widget, which the window owns.
class NativeControl {
public:
    const DialogItem* item;
    QWidget* widget;
};

class QtDialogWindow final : public QDialog, public DialogWindow {
    Q_OBJECT
public:
    QtDialogWindow(Dialog& dialog, QWidget* owner);
    ~QtDialogWindow() override;

    void CreateControls() override;
    NativeControl* Control(int id) const override;
    int FocusedControl() const override;
    void FocusControl(int id) override;
    bool IsControlEnabled(int id) const override;
    DialogBaseUnits BaseUnits() const override { return baseUnits_; }
    bool ReadText(int id, std::string& text) const override;
    void WriteText(int id, std::string_view text) override;
    void ClickButton(int id) override;
    int RunModal(DialogWindow* mainWindow) override;
    void End(int result) override;
    void ShowMessage(std::string_view text) override;
    void SetIcon(int iconId) override;
    void AcceptDrops(bool accept) override { setAcceptDrops(accept); }
    std::optional<std::string> ChooseFile(const std::string& folder, std::span<const FileType> types) override;
    void ShowFindBox(const DialogRect& place) override;
    void HideFindBox() override;
    std::string FindBoxText() const override;
    void TintFindBox(bool notFound) override;

    // The find box; nullptr until it is first opened.
    QLineEdit* FindBox() const { return findBox_; }

    // The id of one of this window's controls, or 0 for any other widget (and nullptr).
    int ControlId(const QWidget* widget) const;

    // The dialog's OK and Cancel commands.
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* CreateControl(const DialogItem& item);
    QWidget* CreateListBox(const DialogItem& item);
    QWidget* CreateEdit(const DialogItem& item);
    QWidget* CreatePushButton(const DialogItem& item);
    QWidget* CreateCheckBox(const DialogItem& item);
    QWidget* CreateDropDownList(const DialogItem& item, const PixelRect& place);
    QWidget* CreateLabel(const DialogItem& item, const PixelRect& place);
    EditWidget* EditAt(int id) const;
    bool DropEvent(QEvent& event);

    DialogBaseUnits baseUnits_;
    std::vector<std::unique_ptr<NativeControl>> controls_; // template order, labels included
    QLineEdit* findBox_ = nullptr;
    bool shown_ = false;
};

// The base units of a font, measured as the window system measures a dialog font.
DialogBaseUnits MeasureBaseUnits(const QFont& font);

// Icon resource `iconId`: the images the program's resources list under :/icons/<id>/.
QIcon IconResource(int iconId);

// Makes the fonts that come with the program available to this process alone: every file
// in share/<name>/fonts beside `programFolder`, the folder of the program (a self-contained
// bundle has one, a package's installation none). Answers how many were added. The
// Application does it for its program.
int AddProgramFonts(const QString& programFolder, const QString& name);

// The title of the program's message boxes, set by its Application. A dialog's title is
// its template's caption alone.
QString& MessageBoxTitle();

// For code that works on the widgets themselves (tests): a dialog's window, the widget of
// one of its controls (nullptr for labels and unknown ids), and the dialog of a window
// (nullptr for any other widget).
QtDialogWindow& WindowOf(const Dialog& dialog);
QWidget* WidgetOf(const Dialog& dialog, int id);
Dialog* DialogOf(QWidget* window);

} // namespace velmora
