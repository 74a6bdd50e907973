#include "ui/qt/DialogWindow.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#ifdef VELMORA_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#endif

#include "ui/qt/CaptionFit.h"
#include "ui/qt/Widgets.h"

namespace velmora {

namespace {

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

Key KeyOf(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers held =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Escape:
        return Key::Escape;
    case Qt::Key_O:
        return held == Qt::ControlModifier ? Key::CtrlO : Key::Other;
    case Qt::Key_F:
        return held == Qt::ControlModifier ? Key::CtrlF : Key::Other;
    case Qt::Key_F3:
        return held == Qt::NoModifier ? Key::F3 : held == Qt::ShiftModifier ? Key::ShiftF3 : Key::Other;
    default:
        return Key::Other;
    }
}

// The path of a file on this machine as the system's bytes ("" for any other URL, one
// naming another host too). The URL keeps bytes that are not UTF-8 percent-encoded, where
// its text would replace them.
std::string LocalPath(const QUrl& url)
{
    if (!url.isLocalFile() || (!url.host().isEmpty() && url.host() != QLatin1String("localhost")))
        return {};
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

// The template gives a drop-down list the height of the opened list; the closed box is as
// high as its font needs.
int ClosedHeight(const QWidget& list, const PixelRect& place)
{
    return std::min(list.sizeHint().height(), place.height);
}

// Takes resizing and resize handles out of what an X11 window manager is asked for. Qt
// asks for both whatever the window's size limits, and some window managers go by this
// request rather than by a minimum size equal to the maximum.
void AskForNoSizingBorder([[maybe_unused]] const QWidget& widget)
{
#ifdef VELMORA_HAVE_XCB
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    // The motif hints: flags, functions, decorations, input mode, status.
    enum : std::uint32_t { HasFunctions = 1, HasDecorations = 2, All = 1, Resize = 2, ResizeHandles = 4 };
    xcb_connection_t* connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(widget.winId());
    static constexpr char name[] = "_MOTIF_WM_HINTS";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr), &std::free);
    if (atom == nullptr) {
        return;
    }
    const xcb_get_property_cookie_t query = xcb_get_property(connection, 0, window, atom->atom, atom->atom, 0, 5);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> asked(
        xcb_get_property_reply(connection, query, nullptr), &std::free);
    std::uint32_t hints[5] = {};
    if (asked != nullptr && asked->format == 32) {
        const int count = std::min(xcb_get_property_value_length(asked.get()) / 4, 5);
        std::copy_n(static_cast<const std::uint32_t*>(xcb_get_property_value(asked.get())), count, hints);
    }
    // A field without its flag means all; with its All bit set it lists what is taken away.
    const auto takeAway = [&hints](std::uint32_t flag, std::uint32_t& field, std::uint32_t bit) {
        if ((hints[0] & flag) == 0) {
            hints[0] |= flag;
            field = All;
        }
        field = (field & All) != 0 ? field | bit : field & ~bit;
    };
    takeAway(HasFunctions, hints[1], Resize);
    takeAway(HasDecorations, hints[2], ResizeHandles);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom->atom, atom->atom, 32, 5, hints);
#endif
}

class IconPaint final : public MinimizedPaint {
public:
    IconPaint(QPainter& painter, const QIcon& icon, QSize client, int iconSize) : painter_(painter), icon_(icon)
    {
        clientWidth = client.width();
        clientHeight = client.height();
        iconWidth = iconSize;
        iconHeight = iconSize;
    }
    void DrawIcon(int x, int y) override { icon_.paint(&painter_, x, y, iconWidth, iconHeight); }

private:
    QPainter& painter_;
    const QIcon& icon_;
};

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

// The images are read in the format their names end in, by Qt's own reader for it: asked
// to guess, Qt would load every image format plugin first, which costs the start-up more
// than the rest of the icon.
QIcon IconResource(int iconId)
{
    QIcon icon;
    const QDir images(QStringLiteral(":/icons/%1").arg(iconId));
    for (const QString& name : images.entryList(QDir::Files, QDir::Name)) {
        QImageReader reader(images.filePath(name), QFileInfo(name).suffix().toLatin1());
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

int AddProgramFonts(const QString& programFolder, const QString& name)
{
    const QDir fonts(programFolder + "/../share/" + name + "/fonts");
    int added = 0;
    for (const QString& file : fonts.entryList(QDir::Files))
        added += QFontDatabase::addApplicationFont(fonts.filePath(file)) != -1;
    return added;
}

QString& MessageBoxTitle()
{
    static QString title;
    return title;
}

std::unique_ptr<DialogWindow> CreateDialogWindow(Dialog& dialog, DialogWindow* owner)
{
    return std::make_unique<QtDialogWindow>(dialog, static_cast<QtDialogWindow*>(owner));
}

QtDialogWindow::QtDialogWindow(Dialog& dialog, QWidget* owner) : QDialog(owner), DialogWindow(dialog)
{
    const DialogTemplate& dialogTemplate = dialog.Template();
    QFont dialogFont = font();
    if (!dialogTemplate.fontName.empty()) {
        dialogFont.setFamilies({FromNarrow(dialogTemplate.fontName)});
    }
    if (dialogTemplate.pointSize > 0) {
        dialogFont.setPointSize(dialogTemplate.pointSize);
    }
    setFont(dialogFont);
    baseUnits_ = MeasureBaseUnits(font());

    setWindowFlags(WindowFlagsOf(dialogTemplate));
    setWindowTitle(FromNarrow(dialogTemplate.caption));
    setSizeGripEnabled(false);
    setFixedSize(HorizontalUnitsToPixels(dialogTemplate.width, baseUnits_),
                 VerticalUnitsToPixels(dialogTemplate.height, baseUnits_));

    // Keys are looked at before any control gets them, as the first thing the
    // application does with an event.
    qApp->installEventFilter(this);
}

QtDialogWindow::~QtDialogWindow()
{
    qApp->removeEventFilter(this);
    // The controls go after the dialog; nothing they signal on the way reaches it.
    for (const auto& control : controls_) {
        control->widget->disconnect(this);
    }
}

void QtDialogWindow::CreateControls()
{
    const DialogTemplate& dialogTemplate = TheDialog().Template();
    controls_.reserve(dialogTemplate.items.size());
    for (const DialogItem& item : dialogTemplate.items) {
        controls_.push_back(std::make_unique<NativeControl>(NativeControl{&item, CreateControl(item)}));
    }

    // Tab order is template order.
    QWidget* previous = nullptr;
    for (const auto& control : controls_) {
        if (control->widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, control->widget);
        }
        previous = control->widget;
    }
}

QWidget* QtDialogWindow::CreateControl(const DialogItem& item)
{
    const PixelRect place = MapDialogRect(item.rect, baseUnits_);
    QWidget* widget = nullptr;
    switch (item.kind) {
    case ControlKind::ListBox:
        widget = CreateListBox(item);
        break;
    case ControlKind::Edit:
        widget = CreateEdit(item);
        break;
    case ControlKind::PushButton:
        widget = CreatePushButton(item);
        break;
    case ControlKind::CheckBox:
        widget = CreateCheckBox(item);
        break;
    case ControlKind::DropDownList:
        widget = CreateDropDownList(item, place);
        break;
    case ControlKind::StaticText:
        widget = CreateLabel(item, place);
        break;
    }

    if (item.kind == ControlKind::StaticText) {
        widget->setFocusPolicy(Qt::NoFocus);
    } else {
        widget->setFocusPolicy(item.Has(StyleTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    widget->setEnabled(!item.Has(StyleDisabled));
    const bool dropDown = item.kind == ControlKind::DropDownList;
    widget->setGeometry(place.x, place.y, place.width, dropDown ? ClosedHeight(*widget, place) : place.height);
    // Captions are condensed, not cut, where the font is wider than the layout expects.
    FitCaption(*widget);
    if (item.id != StaticId) {
        widget->setObjectName(QStringLiteral("control%1").arg(item.id));
    }
    return widget;
}

QWidget* QtDialogWindow::CreateListBox(const DialogItem& item)
{
    auto* list = new ListBoxWidget(item.Has(StyleSort), this);
    list->setVerticalScrollBarPolicy(item.Has(StyleVScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (!item.Has(StyleBorder)) {
        list->setFrameShape(QFrame::NoFrame);
    }
    if (item.Has(StyleNotify)) {
        connect(list, &ListBoxWidget::SelectionChangedByUser, this,
                [this, id = item.id] { Notified(Notification::SelChange, id); });
    }
    return list;
}

QWidget* QtDialogWindow::CreateEdit(const DialogItem& item)
{
    auto* edit = new EditWidget(item.Has(StyleDigitsOnly), this);
    edit->setFrame(item.Has(StyleBorder));
    edit->SetProgramText(FromNarrow(item.caption));
    if (item.Has(StyleReadOnly)) {
        edit->setReadOnly(true);
        // Shown on the dialog's own background, so it does not look editable.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
    }
    connect(edit, &QLineEdit::textChanged, this, [this, id = item.id] { Notified(Notification::Change, id); });
    return edit;
}

QWidget* QtDialogWindow::CreatePushButton(const DialogItem& item)
{
    auto* button = new QPushButton(FromNarrow(item.caption), this);
    button->setAutoDefault(false);
    button->setDefault(false);
    connect(button, &QAbstractButton::clicked, this, [this, id = item.id] { Notified(Notification::Clicked, id); });
    return button;
}

QWidget* QtDialogWindow::CreateCheckBox(const DialogItem& item)
{
    auto* box = new CheckBoxWidget(item.Has(StyleAutoCheck), FromNarrow(item.caption), this);
    connect(box, &QAbstractButton::clicked, this, [this, id = item.id] { Notified(Notification::Clicked, id); });
    return box;
}

QWidget* QtDialogWindow::CreateDropDownList(const DialogItem& item, const PixelRect& place)
{
    auto* list = new DropDownListWidget(this);
    connect(list, &QComboBox::activated, this, [this, id = item.id] { Notified(Notification::SelChange, id); });
    // The opened list shows the lines that fit below the closed box.
    const int lineHeight = std::max(1, list->fontMetrics().height() + 2);
    list->setMaxVisibleItems(std::max(1, (place.height - ClosedHeight(*list, place)) / lineHeight));
    return list;
}

QWidget* QtDialogWindow::CreateLabel(const DialogItem& item, const PixelRect& place)
{
    auto* label = new QLabel(FromNarrow(item.caption), this);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Text wraps at words when the label holds two lines or more. A label one line high
    // keeps its text on that line; a caption too long for it is condensed (FitCaption).
    label->setWordWrap(place.height >= 2 * label->fontMetrics().height());
    return label;
}

NativeControl* QtDialogWindow::Control(int id) const
{
    if (id == StaticId) {
        return nullptr;
    }
    for (const auto& control : controls_) {
        if (control->item->id == id) {
            return control.get();
        }
    }
    return nullptr;
}

int QtDialogWindow::ControlId(const QWidget* widget) const
{
    if (widget == nullptr) {
        return 0;
    }
    for (const auto& control : controls_) {
        if (control->widget == widget) {
            return control->item->id == StaticId ? 0 : control->item->id;
        }
    }
    return 0;
}

int QtDialogWindow::FocusedControl() const
{
    return ControlId(QApplication::focusWidget());
}

void QtDialogWindow::FocusControl(int id)
{
    if (const NativeControl* control = Control(id))
        control->widget->setFocus(Qt::TabFocusReason);
}

bool QtDialogWindow::IsControlEnabled(int id) const
{
    const NativeControl* control = Control(id);
    return control != nullptr && control->widget->isEnabled();
}

EditWidget* QtDialogWindow::EditAt(int id) const
{
    const NativeControl* control = Control(id);
    return control != nullptr ? qobject_cast<EditWidget*>(control->widget) : nullptr;
}

bool QtDialogWindow::ReadText(int id, std::string& text) const
{
    const EditWidget* edit = EditAt(id);
    if (edit == nullptr) {
        return false;
    }
    text = ToNarrow(edit->text());
    return true;
}

void QtDialogWindow::WriteText(int id, std::string_view text)
{
    if (EditWidget* edit = EditAt(id))
        edit->SetProgramText(FromNarrow(text));
}

void QtDialogWindow::ClickButton(int id)
{
    const NativeControl* control = Control(id);
    if (auto* button = control != nullptr ? qobject_cast<QPushButton*>(control->widget) : nullptr)
        button->click();  // which a disabled button ignores
}

int QtDialogWindow::RunModal(DialogWindow* mainWindow)
{
    if (parentWidget() == nullptr && mainWindow != nullptr)
        setParent(static_cast<QtDialogWindow*>(mainWindow), windowFlags());
    return exec();
}

void QtDialogWindow::End(int result)
{
    done(result);
}

void QtDialogWindow::ShowMessage(std::string_view text)
{
    QMessageBox box(QMessageBox::NoIcon, MessageBoxTitle(), FromNarrow(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtDialogWindow::SetIcon(int iconId)
{
    setWindowIcon(IconResource(iconId));
}

std::optional<std::string> QtDialogWindow::ChooseFile(const std::string& folder, std::span<const FileType> types)
{
    QFileDialog chooser(this, QString(), FromNarrow(folder));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    QStringList filters;
    for (const FileType& type : types)
        filters << QStringLiteral("%1 (%2)").arg(FromNarrow(type.description), FromNarrow(type.patterns));
    chooser.setNameFilters(filters);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedUrls().isEmpty())
        return std::nullopt;
    std::string path = LocalPath(chooser.selectedUrls().front());
    if (path.empty())
        return std::nullopt;
    return path;
}

void QtDialogWindow::ShowFindBox(const DialogRect& place)
{
    if (findBox_ == nullptr) {
        findBox_ = new QLineEdit(this);
        findBox_->setObjectName(QStringLiteral("findBox"));
        findBox_->setPlaceholderText(QStringLiteral("Find"));
        connect(findBox_, &QLineEdit::textEdited, this, [this] { FindRequested(FindStep::Typed); });
    }
    const PixelRect at = MapDialogRect(place, baseUnits_);
    findBox_->setGeometry(at.x, at.y, at.width, at.height);
    findBox_->show();
    findBox_->raise();
    findBox_->setFocus(Qt::ShortcutFocusReason);
    findBox_->selectAll();
}

void QtDialogWindow::HideFindBox()
{
    if (findBox_ != nullptr)
        findBox_->hide();
}

std::string QtDialogWindow::FindBoxText() const
{
    return findBox_ != nullptr ? ToNarrow(findBox_->text()) : std::string();
}

void QtDialogWindow::TintFindBox(bool notFound)
{
    if (findBox_ == nullptr)
        return;
    QPalette look = palette();
    if (notFound)
        look.setColor(QPalette::Base, QColor(255, 204, 204));
    findBox_->setPalette(look);
}

// A file dragged anywhere over the window is the window's, when it takes drops and the
// drag brings a file it opens (DroppedFile).
bool QtDialogWindow::DropEvent(QEvent& event)
{
    const QEvent::Type type = event.type();
    if (!acceptDrops() || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return false;
    auto& drop = static_cast<QDropEvent&>(event);
    std::vector<std::string> paths;
    if (drop.mimeData() != nullptr && drop.mimeData()->hasUrls())
        for (const QUrl& url : drop.mimeData()->urls())
            paths.push_back(LocalPath(url));
    const std::optional<std::string> file = DroppedFile(paths);
    if (!file)
        return false;
    drop.acceptProposedAction();
    if (type == QEvent::Drop)
        FileDropped(*file);
    return true;
}

void QtDialogWindow::accept()
{
    OkCommand();
}

void QtDialogWindow::reject()
{
    CancelCommand();
}

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The application's filters see each key event once, addressed to the widget that
    // receives it first, before it travels up to the parents.
    if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        auto* target = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::KeyPress) {
            const auto& key = *static_cast<QKeyEvent*>(event);
            if ((target == findBox_ && FindBoxKeyPressed(KeyOf(key))) || KeyPressed(KeyOf(key), ControlId(target)))
                return true;
        } else if (DropEvent(*event)) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void QtDialogWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape were dealt with by PreTranslateMessage; QDialog's own handling of
    // them (default buttons, reject) does not apply.
    event->ignore();
}

void QtDialogWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The window exists now and is not yet on the screen; it keeps its template's size.
    AskForNoSizingBorder(*this);
}

void QtDialogWindow::paintEvent(QPaintEvent* event)
{
    // The first-shown work comes once the window and its controls are drawn (the paint of
    // the controls follows this one in the same pass).
    if (!shown_) {
        shown_ = true;
        QTimer::singleShot(0, this, [this] { FirstShown(); });
    }
    if (!isMinimized()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QIcon icon = windowIcon();
    IconPaint paint(painter, icon, size(), style()->pixelMetric(QStyle::PM_LargeIconSize));
    PaintMinimized(paint);
}

// For code that works on the widgets ---------------------------------------------------

QtDialogWindow& WindowOf(const Dialog& dialog)
{
    return static_cast<QtDialogWindow&>(dialog.Window());
}

QWidget* WidgetOf(const Dialog& dialog, int id)
{
    const NativeControl* control = dialog.GetDlgItem(id);
    return control != nullptr ? control->widget : nullptr;
}

Dialog* DialogOf(QWidget* window)
{
    auto* dialogWindow = qobject_cast<QtDialogWindow*>(window);
    return dialogWindow != nullptr ? &dialogWindow->TheDialog() : nullptr;
}

} // namespace velmora
