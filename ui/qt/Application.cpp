#include "ui/Application.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontInfo>

#include "ui/qt/DialogWindow.h"
#include "ui/qt/Widgets.h"

namespace velmora {

struct Application::Instance {
    QApplication application;
};

Application::Application(int& argc, char** argv, std::string_view name, std::string_view displayName)
    : instance_(new Instance{QApplication(argc, argv)})
{
    QApplication::setApplicationName(FromNarrow(name));
    // Not Qt's display name: Qt would append that to every window's title.
    MessageBoxTitle() = FromNarrow(displayName);
    AddProgramFonts(QCoreApplication::applicationDirPath(), FromNarrow(name));
}

Application::~Application() = default;

std::string Application::SubstituteFont(std::string_view fontName, std::string_view substitute, int pointSize)
{
    const QString name = FromNarrow(fontName);
    const QString family = FromNarrow(substitute);
    if (!QFont::substitutes(name).contains(family)) {
        QFont::insertSubstitution(name, family);
    }
    QFont font(name);
    font.setPointSize(pointSize);
    return ToNarrow(QFontInfo(font).family());
}

std::string ShownFileName(const std::string& path)
{
    return ToNarrow(QFile::decodeName(QByteArray::fromStdString(path)));
}

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

} // namespace velmora
