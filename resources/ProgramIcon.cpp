#include "resources/ProgramIcon.h"

#include <QPixmap>

namespace velmora {

namespace {

QString ImagePath(int size)
{
    return QStringLiteral(":/velmora/icons/velmora-%1.xpm").arg(size);
}

} // namespace

QImage ProgramIconImage(int size)
{
    if (size != 32 && size != 16) {
        return {};
    }
    return QImage(ImagePath(size));
}

QIcon LoadProgramIcon()
{
    QIcon icon;
    for (int size : {32, 16}) {
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    }
    return icon;
}

} // namespace velmora
