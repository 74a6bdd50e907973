// Icon 128, the program's icon: a small tree of nodes, 32x32 and 16x16 pixels in 16
// colours, compiled into the program.
#pragma once

#include <QIcon>
#include <QImage>

namespace velmora {

// Both images of the icon.
QIcon LoadProgramIcon();

// The image of the given size (32 or 16); a null image for any other size.
QImage ProgramIconImage(int size);

} // namespace velmora
