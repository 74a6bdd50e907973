#include "ui/Dialog.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

#include "ui/CaptionFit.h"

namespace velmora {

namespace {

// Holds a counter up while an exchange runs, also when nested.
class DepthScope {
public:
    explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
    ~DepthScope() { --depth_; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int& depth_;
};

Qt::WindowFlags WindowFlagsOf(const DialogTemplate& dialogTemplate)
{
    Qt::WindowFlags flags = dialogTemplate.Has(DialogStyleAppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if (dialogTemplate.Has(DialogStyleCaption)) {
        flags |= Qt::WindowTitleHint;
    }
    if (dialogTemplate.Has(DialogStyleSystemMenu)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (dialogTemplate.Has(DialogStyleMinimizeBox)) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    return flags;
}

template <class Handle>
bool BindHandle(Dialog& dialog, int id, Handle& handle)
{
    QWidget* control = dialog.GetDlgItem(id);
    if (control == nullptr) {
        return false;
    }
    if (handle.IsAttached() && handle.Widget() == control) {
        return true;
    }
    return handle.Attach(control);
}

} // namespace

DialogBaseUnits MeasureBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const QFontMetricsF exact(font);
    const int extent =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int height = qRound(exact.ascent()) + qRound(exact.descent());
    return BaseUnitsFromMetrics(extent, height);
}

Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* owner)
    : QDialog(owner), template_(dialogTemplate)
{
    QFont dialogFont = font();
    if (!template_.fontName.empty()) {
        dialogFont.setFamilies({FromNarrow(template_.fontName)});
    }
    if (template_.pointSize > 0) {
        dialogFont.setPointSize(template_.pointSize);
    }
    setFont(dialogFont);
    baseUnits_ = MeasureBaseUnits(font());

    setWindowFlags(WindowFlagsOf(template_));
    setWindowTitle(FromNarrow(template_.caption));
    setSizeGripEnabled(false);
    setFixedSize(HorizontalUnitsToPixels(template_.width, baseUnits_),
                 VerticalUnitsToPixels(template_.height, baseUnits_));

    // Keys are looked at before any control gets them, as the first thing the
    // application does with an event.
    qApp->installEventFilter(this);
}

Dialog::~Dialog()
{
    qApp->removeEventFilter(this);
    created_ = false;
}

bool Dialog::Create()
{
    if (created_) {
        return false;
    }
    building_ = true;
    controls_.reserve(template_.items.size());
    for (const DialogItem& item : template_.items) {
        controls_.push_back(Control{&item, CreateControl(item)});
    }
    building_ = false;

    // Tab order is template order.
    QWidget* previous = nullptr;
    for (const Control& control : controls_) {
        if (control.widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, control.widget);
        }
        previous = control.widget;
    }

    created_ = true;
    if (OnInitDialog()) {
        FocusFirstTabStop();
    }
    return true;
}

int Dialog::DoModal()
{
    if (!created_) {
        Create();
    }
    QWidget* main = MainWindow();
    if (parentWidget() == nullptr && main != nullptr && main != this) {
        setParent(main, windowFlags());
    }
    return exec();
}

namespace {

QPointer<QWidget>& MainWindowPointer()
{
    static QPointer<QWidget> window;
    return window;
}

} // namespace

void Dialog::SetMainWindow(QWidget* window)
{
    MainWindowPointer() = window;
}

QWidget* Dialog::MainWindow()
{
    return MainWindowPointer().data();
}

QWidget* Dialog::CreateControl(const DialogItem& item)
{
    const PixelRect place = MapDialogRect(item.rect, baseUnits_);
    const QString caption = FromNarrow(item.caption);
    const int id = item.id;
    QWidget* widget = nullptr;

    switch (item.kind) {
    case ControlKind::ListBox: {
        auto* list = new ListBoxWidget(item.Has(StyleSort), this);
        list->setVerticalScrollBarPolicy(item.Has(StyleVScroll) ? Qt::ScrollBarAsNeeded
                                                                : Qt::ScrollBarAlwaysOff);
        if (!item.Has(StyleBorder)) {
            list->setFrameShape(QFrame::NoFrame);
        }
        if (item.Has(StyleNotify)) {
            connect(list, &ListBoxWidget::SelectionChangedByUser, this,
                    [this, id] { Notify(Notification::SelChange, id); });
        }
        widget = list;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new EditWidget(item.Has(StyleDigitsOnly), this);
        edit->setFrame(item.Has(StyleBorder));
        edit->SetProgramText(caption);
        if (item.Has(StyleReadOnly)) {
            edit->setReadOnly(true);
            // Shown on the dialog's own background, so it does not look editable.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
        }
        connect(edit, &QLineEdit::textChanged, this, [this, id] { Notify(Notification::Change, id); });
        widget = edit;
        break;
    }
    case ControlKind::PushButton: {
        auto* button = new QPushButton(caption, this);
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QAbstractButton::clicked, this, [this, id] { Notify(Notification::Clicked, id); });
        widget = button;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new CheckBoxWidget(item.Has(StyleAutoCheck), caption, this);
        connect(box, &QAbstractButton::clicked, this, [this, id] { Notify(Notification::Clicked, id); });
        widget = box;
        break;
    }
    case ControlKind::DropDownList: {
        auto* list = new DropDownListWidget(this);
        connect(list, &QComboBox::activated, this, [this, id] { Notify(Notification::SelChange, id); });
        widget = list;
        break;
    }
    case ControlKind::StaticText: {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // Text wraps at words when the label holds two lines or more. A label one line
        // high keeps its text on that line; a caption too long for it is condensed
        // (FitCaption below).
        label->setWordWrap(place.height >= 2 * label->fontMetrics().height());
        widget = label;
        break;
    }
    }

    if (item.kind == ControlKind::StaticText) {
        widget->setFocusPolicy(Qt::NoFocus);
    } else {
        widget->setFocusPolicy(item.Has(StyleTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    widget->setEnabled(!item.Has(StyleDisabled));

    if (item.kind == ControlKind::DropDownList) {
        // The template gives the height of the opened list; the closed box is as high
        // as its font needs, and the opened list shows the lines that fit below it.
        const int closed = std::min(widget->sizeHint().height(), place.height);
        const int lineHeight = std::max(1, widget->fontMetrics().height() + 2);
        static_cast<QComboBox*>(widget)->setMaxVisibleItems(std::max(1, (place.height - closed) / lineHeight));
        widget->setGeometry(place.x, place.y, place.width, closed);
    } else {
        widget->setGeometry(place.x, place.y, place.width, place.height);
    }
    // Captions are condensed, not cut, where the font is wider than the layout expects.
    FitCaption(*widget);
    if (id != StaticId) {
        widget->setObjectName(QStringLiteral("control%1").arg(id));
    }
    return widget;
}

QWidget* Dialog::GetDlgItem(int id) const
{
    if (id == StaticId) {
        return nullptr;
    }
    for (const Control& control : controls_) {
        if (control.item->id == id) {
            return control.widget;
        }
    }
    return nullptr;
}

int Dialog::GetDlgCtrlID(const QWidget* widget) const
{
    if (widget == nullptr) {
        return 0;
    }
    for (const Control& control : controls_) {
        if (control.widget == widget) {
            return control.item->id == StaticId ? 0 : control.item->id;
        }
    }
    return 0;
}

QWidget* Dialog::GetFocus()
{
    return QApplication::focusWidget();
}

bool Dialog::UpdateData(bool save)
{
    DepthScope scope(exchangeDepth_);
    return DoDataExchange(save);
}

void Dialog::EndDialog(int result)
{
    QDialog::done(result);
}

int Dialog::MessageBox(std::string_view text)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), FromNarrow(text),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IdOk;
}

void Dialog::accept()
{
    OnOK();
}

void Dialog::reject()
{
    OnCancel();
}

bool Dialog::OnInitDialog()
{
    for (const Control& control : controls_) {
        if (control.item->initItems.empty()) {
            continue;
        }
        if (auto* dropDown = qobject_cast<DropDownListWidget*>(control.widget)) {
            for (std::string_view line : control.item->initItems) {
                dropDown->AddEntry(FromNarrow(line));
            }
        } else if (auto* list = qobject_cast<ListBoxWidget*>(control.widget)) {
            for (std::string_view line : control.item->initItems) {
                list->AddLine(FromNarrow(line));
            }
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

bool Dialog::PreTranslateMessage(QWidget* target, QKeyEvent& key)
{
    return IsDialogMessage(target, key);
}

bool Dialog::DoDataExchange(bool /*save*/)
{
    return true;
}

bool Dialog::OnCommand(Notification /*notification*/, int /*id*/)
{
    return false;
}

bool Dialog::IsDialogMessage(QWidget* target, QKeyEvent& key)
{
    if (key.type() != QEvent::KeyPress) {
        return false;
    }
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(target); button != nullptr && GetDlgCtrlID(button) != 0) {
            if (button->isEnabled()) {
                button->click();
            }
            return true;
        }
        OnOK();
        return true;
    case Qt::Key_Escape:
        OnCancel();
        return true;
    default:
        return false;
    }
}

bool Dialog::eventFilter(QObject* watched, QEvent* event)
{
    // The application's filters see each key event once, addressed to the widget that
    // receives it first, before it travels up to the parents.
    if (event->type() == QEvent::KeyPress && created_ && watched->isWidgetType()) {
        auto* target = static_cast<QWidget*>(watched);
        if (target->window() == this && PreTranslateMessage(target, *static_cast<QKeyEvent*>(event))) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Dialog::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape were dealt with by PreTranslateMessage; QDialog's own handling of
    // them (default buttons, reject) does not apply.
    event->ignore();
}

void Dialog::Notify(Notification notification, int id)
{
    if (building_ || exchangeDepth_ > 0) {
        return;
    }
    OnCommand(notification, id);
}

void Dialog::FocusFirstTabStop()
{
    for (const Control& control : controls_) {
        if (control.item->Has(StyleTabStop) && control.widget->isEnabled() &&
            control.widget->focusPolicy() != Qt::NoFocus) {
            control.widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

// Data exchange rows --------------------------------------------------------------------

bool ExchangeMember(Dialog& dialog, int id, ListBox& handle, bool /*save*/)
{
    return BindHandle(dialog, id, handle);
}

bool ExchangeMember(Dialog& dialog, int id, DropDownList& handle, bool /*save*/)
{
    return BindHandle(dialog, id, handle);
}

bool ExchangeMember(Dialog& dialog, int id, Button& handle, bool /*save*/)
{
    return BindHandle(dialog, id, handle);
}

bool ExchangeMember(Dialog& dialog, int id, Edit& handle, bool /*save*/)
{
    return BindHandle(dialog, id, handle);
}

bool ExchangeMember(Dialog& dialog, int id, QString& text, bool save)
{
    auto* edit = qobject_cast<EditWidget*>(dialog.GetDlgItem(id));
    if (edit == nullptr) {
        return false;
    }
    if (save) {
        text = edit->text();
    } else if (edit->text() != text) {
        // An unchanged box keeps its cursor and selection.
        edit->SetProgramText(text);
    }
    return true;
}

bool ExchangeMember(Dialog& dialog, int id, std::string& text, bool save)
{
    QString shown = FromNarrow(text);
    if (!ExchangeMember(dialog, id, shown, save)) {
        return false;
    }
    if (save) {
        text = ToNarrow(shown);
    }
    return true;
}

} // namespace velmora
