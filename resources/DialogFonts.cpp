#include "resources/DialogFonts.h"

#include <QFont>
#include <QFontInfo>

#include "ui/Controls.h"
#include "resources/DialogTemplates.h"

namespace velmora {

QString InstallDialogFonts()
{
    const QString name = FromNarrow(DialogFontName);
    const QString substitute = QString::fromLatin1(DialogFontSubstitute);
    if (!QFont::substitutes(name).contains(substitute)) {
        QFont::insertSubstitution(name, substitute);
    }
    QFont font(name);
    font.setPointSize(DialogFontPointSize);
    return QFontInfo(font).family();
}

} // namespace velmora
